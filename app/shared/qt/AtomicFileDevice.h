// CAtomicFileDevice: the framework's atomic writer (CAtomicFile) as a QIODevice, so that Qt's
// writers (images, SVG, PDF) write a file the one way every file is written: beside the target,
// then synced and renamed over it by commit(). A device closed or destroyed without commit()
// leaves the target as it was.
#pragma once

#include <QIODevice>
#include <QString>

#include <filesystem>

#include <framework/AtomicFile.h>

// A file name from Qt (a dialog, a command line) as a native path, with no code page in between.
std::filesystem::path QtPath(const QString& strPath);
// The name of a native path for messages.
QString QtPathText(const std::filesystem::path& path);

class CAtomicFileDevice : public QIODevice {
    Q_OBJECT

public:
    explicit CAtomicFileDevice(std::filesystem::path path, Env* pEnv = Env::Default(), QObject* pParent = nullptr);
    ~CAtomicFileDevice() override;

    // Opens for writing only (WriteOnly, with Truncate or nothing else); false with errorString()
    // set when the file may not be replaced.
    bool open(OpenMode mode) override;
    // Discards what was written (the target stays as it was).
    void close() override;
    bool isSequential() const override { return true; }

    // Puts what was written in place of the file and closes. False with errorString() set; the
    // target then keeps its previous content (but for a failed folder sync after the rename).
    bool commit();

protected:
    qint64 readData(char* pData, qint64 nMax) override;
    qint64 writeData(const char* pData, qint64 nSize) override;

private:
    void SetError();

    std::filesystem::path m_path;
    CAtomicFile m_file;
};

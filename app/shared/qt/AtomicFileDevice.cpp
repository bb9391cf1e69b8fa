#include "AtomicFileDevice.h"

#include <cstring>

#include <framework/Env.h>

std::filesystem::path QtPath(const QString& strPath)
{
    const QByteArray utf8 = strPath.toUtf8();
    return strPath.isEmpty() ? std::filesystem::path() : Env::PathOf(std::string(utf8.constData(), utf8.size()));
}

QString QtPathText(const std::filesystem::path& path)
{
    return QString::fromStdString(Env::NameOf(path));
}

CAtomicFileDevice::CAtomicFileDevice(std::filesystem::path path, Env* pEnv, QObject* pParent)
    : QIODevice(pParent), m_path(std::move(path)), m_file(pEnv)
{
}

CAtomicFileDevice::~CAtomicFileDevice()
{
    close();
}

bool CAtomicFileDevice::open(OpenMode mode)
{
    if ((mode & ~(WriteOnly | Truncate | Unbuffered)) != 0 || !(mode & WriteOnly)) {
        setErrorString(QStringLiteral("書き込み専用でしか開けません"));
        return false;
    }
    if (!m_file.Open(m_path)) {
        SetError();
        return false;
    }
    return QIODevice::open(mode | Unbuffered);
}

void CAtomicFileDevice::close()
{
    m_file.Abort();
    if (isOpen())
        QIODevice::close();
}

bool CAtomicFileDevice::commit()
{
    if (!isOpen())
        return false;
    const bool bDone = m_file.Commit();
    if (!bDone)
        SetError();
    QIODevice::close();
    return bDone;
}

qint64 CAtomicFileDevice::readData(char*, qint64)
{
    return -1;
}

qint64 CAtomicFileDevice::writeData(const char* pData, qint64 nSize)
{
    if (!m_file.Write(std::string_view(pData, static_cast<std::size_t>(nSize)))) {
        SetError();
        return -1;
    }
    return nSize;
}

void CAtomicFileDevice::SetError()
{
    const SEnvError& error = m_file.Error();
    setErrorString(QtPathText(m_path) + QStringLiteral(": ") +
                   (error.lOsError > 0 ? QString::fromLocal8Bit(std::strerror(error.lOsError))
                                       : QStringLiteral("書き込めませんでした")));
}

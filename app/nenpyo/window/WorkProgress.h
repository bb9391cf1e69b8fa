// CWorkProgress: a progress dialog with a cancel button for a long piece of work (printing,
// exports) that reports its progress through a callback. The dialog shows only when the work
// takes more than a second; while it shows, the window stays responsive to it.
#pragma once

#include <functional>

#include <QString>

class QProgressDialog;
class QWidget;

class CWorkProgress {
public:
    CWorkProgress(QWidget* pParent, const QString& strLabel);
    ~CWorkProgress();
    CWorkProgress(const CWorkProgress&) = delete;
    CWorkProgress& operator=(const CWorkProgress&) = delete;

    // Takes nDone of nTotal; false once the user cancelled.
    bool Step(int nDone, int nTotal);
    // Runs work, which cannot report its progress or be cancelled (a save), on a thread of its own
    // and returns when it is done. Meanwhile the windows repaint and, after a second, a busy
    // dialog without a cancel button says strLabel; what the user types or clicks waits until the
    // work is done, so nothing can change what the work reads.
    static void RunBusy(QWidget* pParent, const QString& strLabel, const std::function<void()>& work);

    // Step as a callback for the work.
    std::function<bool(int, int)> Callback()
    {
        return [this](int nDone, int nTotal) { return Step(nDone, nTotal); };
    }

private:
    QProgressDialog* m_pDialog;
};

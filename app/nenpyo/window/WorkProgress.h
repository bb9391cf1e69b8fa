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
    // Step as a callback for the work.
    std::function<bool(int, int)> Callback()
    {
        return [this](int nDone, int nTotal) { return Step(nDone, nTotal); };
    }

private:
    QProgressDialog* m_pDialog;
};

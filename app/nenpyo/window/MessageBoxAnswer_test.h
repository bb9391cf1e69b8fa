// Answers the message boxes a test brings up: each box that becomes the active modal window is
// closed with the button given (its text kept), so that code asking the user runs on unattended.
#pragma once

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

class CMessageBoxAnswer {
public:
    explicit CMessageBoxAnswer(QMessageBox::StandardButton eButton = QMessageBox::Ok) : m_eButton(eButton)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (pBox == nullptr || !pBox->isVisible())
                return;
            m_texts << pBox->text();
            if (QAbstractButton* pButton = pBox->button(m_eButton))
                pButton->click();
            else
                pBox->reject();
        });
        m_timer.start(5);
    }

    void SetButton(QMessageBox::StandardButton eButton) { m_eButton = eButton; }
    // The texts of the boxes answered since the last call.
    QStringList Take() { return std::exchange(m_texts, {}); }

private:
    QMessageBox::StandardButton m_eButton;
    QStringList m_texts;
    QTimer m_timer;
};

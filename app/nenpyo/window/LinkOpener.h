// CLinkOpener: opens a link of an event with the desktop as CLinkRule allows: web and mail at
// once, a local file after asking (the question names it), programs and launchers never.
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

class CLinkOpener {
public:
    explicit CLinkOpener(QWidget* pParent) : m_pParent(pParent) {}

    // The link target as the desktop gets it: a relative name is taken from the folder of
    // strBase (a file; empty: the link stays as it is).
    static QUrl Resolve(const QString& strLink, const QString& strBase);
    // Opens url (strLink as the event gives it, for the messages). False, with a message shown
    // unless the user said no, when it is not opened.
    bool Open(const QString& strLink, const QUrl& url) const;

private:
    QWidget* m_pParent;
};

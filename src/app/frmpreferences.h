// "Preferences": the shortcut from anywhere, the format it copies, and Set Up and Remove, with
// what the desktop in use said and what is set up now.
#pragma once

#include "desktop/globalshortcut.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QKeySequenceEdit;
class QLabel;
class QPushButton;
class RootKeyGrab;

class frmpreferences : public QWidget
{
    Q_OBJECT
public:
    // For the executable named applicationName; on plain X11 grab is the running Huebrook's.
    frmpreferences(const QString &applicationName, RootKeyGrab *grab, QWidget *parent = nullptr);

    // The desktop the buttons set the key up on; the session's unless replaced.
    globalshortcut::Desktop desktop;

    void cmdSetUp_Click();
    void cmdRemove_Click();

signals:
    // Set Up or Remove has said its outcome.
    void answered(const globalshortcut::Outcome &outcome);

private:
    // Desktop services may keep a caller waiting: their work runs on Qt's thread pool, X11's
    // grab here, on the toolkit's connection.
    void run(std::function<globalshortcut::Outcome()> work);
    void showOutcome(const globalshortcut::Outcome &outcome);
    void showKept();

    QString m_applicationName;
    RootKeyGrab *m_grab;
    QKeySequenceEdit *m_keys;
    QComboBox *m_format;
    QPushButton *m_setUp;
    QPushButton *m_remove;
    QLabel *m_outcome;
    QLabel *m_current;
    int m_asked = 0; // the Set Up or Remove last asked
};

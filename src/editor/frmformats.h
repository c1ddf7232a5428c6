// "Edit Formats": the user's own copy formats, each a template shown as the text it gives for
// the current color while it is typed; a bad template is refused with the reason.
#pragma once

#include "color/bascommon.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmformats : public QDialog
{
    Q_OBJECT
public:
    frmformats(const QStringList &formats, Color color, QWidget *parent = nullptr);

    QStringList formats() const;

private:
    // Why the typed template cannot be added; empty when it can.
    QString refusal() const;
    void showSample();
    void add();
    void change();
    void remove();

    Color m_color;
    QListWidget *lstFormats;
    QLineEdit *txtFormat;
    QLabel *lblSample;
    QPushButton *cmdAdd;
    QPushButton *cmdChange;
    QPushButton *cmdRemove;
};

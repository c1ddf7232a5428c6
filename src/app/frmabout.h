// The About box: product name and version, and the line naming the maker.
#pragma once

#include <QDialog>

class frmabout : public QDialog
{
    Q_OBJECT
public:
    explicit frmabout(QWidget *owner = nullptr);

private:
    void Cmdok_Click();
};

// The About box, laid out in twips at 15 twips per pixel.
#include "frmabout.h"

#include "ui/designunits.h"
#include "ui/settopmost.h"
#include "weblink.h"

#include <QLabel>
#include <QPushButton>

using designunits::twipRect;

frmabout::frmabout(QWidget *owner) : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(designunits::pixels(3420), designunits::pixels(1875));
    setFont(designunits::windowFont());

    auto *title = new QLabel(QStringLiteral("Huebrook 1.0"), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(designunits::designFont(QStringLiteral("Tahoma"), 9, true));
    title->setGeometry(twipRect(390, 225, 2850, 210));

    auto *maker = new QLabel(QStringLiteral("Freeware by ") + weblink::makerName, this);
    maker->setObjectName(QStringLiteral("Label2"));
    maker->setGeometry(twipRect(390, 930, 2565, 255));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Cmdok"));
    ok->setGeometry(twipRect(1065, 1275, 1140, 375));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &frmabout::Cmdok_Click);

    bascommon::SetTopMost(*this);
    setModal(true);
    // No owner is passed to the platform; centring over the main window stands in for it.
    if (owner) {
        const QPoint centre = owner->frameGeometry().center();
        move(centre.x() - width() / 2, centre.y() - height() / 2);
    }
}

void frmabout::Cmdok_Click()
{
    accept();
}

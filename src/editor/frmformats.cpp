// "Edit Formats": a list of templates, a field to type one in, and its text for the current
// color beneath.
#include "frmformats.h"

#include "formats/colorformat.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmformats::frmformats(const QStringList &formats, Color color, QWidget *parent)
    : QDialog(parent), m_color(color), lstFormats(new QListWidget(this)),
      txtFormat(new QLineEdit(this)), lblSample(new QLabel(this)),
      cmdAdd(makeButton("cmdAdd", QStringLiteral("&Add"), this)),
      cmdChange(makeButton("cmdChange", QStringLiteral("&Change"), this)),
      cmdRemove(makeButton("cmdRemove", QStringLiteral("&Remove"), this))
{
    setObjectName(QStringLiteral("frmformats"));
    setWindowTitle(QStringLiteral("Edit Formats"));
    lstFormats->setObjectName(QStringLiteral("lstFormats"));
    lstFormats->addItems(formats);
    txtFormat->setObjectName(QStringLiteral("txtFormat"));
    txtFormat->setPlaceholderText(QStringLiteral("rgb({r} {g} {b})"));
    lblSample->setObjectName(QStringLiteral("lblSample"));
    lblSample->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSample->setWordWrap(true);
    auto *help = new QLabel(QStringLiteral("{r} {g} {b}: decimal, {R} {G} {B}: hexadecimal, "
                                           "{h} {s} {l}: hue, saturation and lightness; "
                                           "{{ and }} are braces."),
                            this);
    help->setWordWrap(true);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {cmdAdd, cmdChange, cmdRemove})
        buttons->addWidget(button);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstFormats);
    layout->addWidget(txtFormat);
    layout->addWidget(lblSample);
    layout->addLayout(buttons);
    layout->addWidget(help);
    layout->addWidget(box);

    connect(txtFormat, &QLineEdit::textChanged, this, &frmformats::showSample);
    connect(lstFormats, &QListWidget::currentTextChanged, txtFormat, &QLineEdit::setText);
    connect(lstFormats, &QListWidget::currentRowChanged, this, &frmformats::showSample);
    connect(cmdAdd, &QPushButton::clicked, this, &frmformats::add);
    connect(cmdChange, &QPushButton::clicked, this, &frmformats::change);
    connect(cmdRemove, &QPushButton::clicked, this, &frmformats::remove);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSample();
    setMinimumWidth(360);
    txtFormat->setFocus();
}

QStringList frmformats::formats() const
{
    QStringList all;
    for (int i = 0; i < lstFormats->count(); ++i)
        all << lstFormats->item(i)->text();
    return all;
}

QString frmformats::refusal() const
{
    const QString typed = txtFormat->text();
    if (typed.isEmpty())
        return QStringLiteral("Type a template.");
    if (colorformat::names().contains(typed))
        return QStringLiteral("\"%1\" is a name, already in the menu.").arg(typed);
    if (const QString why = colorformat::problem(typed); !why.isEmpty())
        return QStringLiteral("Not a template: %1.").arg(why);
    if (formats().contains(typed))
        return QStringLiteral("Already in the list.");
    return {};
}

void frmformats::showSample()
{
    const QString why = refusal();
    const QString typed = txtFormat->text();
    // A template shows its text, also one already in the list; anything else why it is refused.
    const bool isTemplate = !typed.isEmpty() && !colorformat::names().contains(typed) &&
                            colorformat::problem(typed).isEmpty();
    lblSample->setText(isTemplate ? colorformat::text(typed, m_color) : why);
    cmdAdd->setEnabled(why.isEmpty());
    cmdChange->setEnabled(why.isEmpty() && lstFormats->currentRow() >= 0);
    cmdRemove->setEnabled(lstFormats->currentRow() >= 0);
}

void frmformats::add()
{
    if (!refusal().isEmpty())
        return;
    lstFormats->addItem(txtFormat->text());
    lstFormats->setCurrentRow(lstFormats->count() - 1);
}

void frmformats::change()
{
    if (!refusal().isEmpty() || !lstFormats->currentItem())
        return;
    lstFormats->currentItem()->setText(txtFormat->text());
    showSample();
}

void frmformats::remove()
{
    delete lstFormats->takeItem(lstFormats->currentRow());
    showSample();
}

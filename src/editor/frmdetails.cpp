// The Color Details window.
#include "frmdetails.h"

#include "color/colornames.h"
#include "color/contrast.h"
#include "desktop/clipboard.h"
#include "formats/colorformat.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

QLineEdit *readout(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    // Read-only but selectable, like the main window's readouts.
    edit->setReadOnly(true);
    edit->setMinimumWidth(designunits::pixels(3600));
    return edit;
}

QLabel *bold(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

frmdetails::frmdetails(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmdetails"));
    setWindowTitle(QStringLiteral("Color Details"));
    setFont(designunits::windowFont());
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    m_swatch = new ColorLabel(this);
    m_swatch->setObjectName(QStringLiteral("lblSwatch"));
    m_swatch->setBordered(true);
    m_swatch->setFixedSize(designunits::pixels(1020), designunits::pixels(600));
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("lblName"));
    m_name->setFont(designunits::designFont(QStringLiteral("Tahoma"), 10, true));
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_swatch, 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);

    int row = 1;
    for (const colorformat::Named &format : colorformat::table()) {
        if (format.name == QLatin1String("name"))
            continue; // shown above, with "≈" where it applies
        grid->addWidget(new QLabel(format.name, this), row, 0);
        QLineEdit *text = readout(this, QStringLiteral("txt") + format.name);
        grid->addWidget(text, row, 1);
        auto *copy = new QPushButton(QStringLiteral("Copy"), this);
        copy->setObjectName(QStringLiteral("cmdCopy") + format.name);
        connect(copy, &QPushButton::clicked, this, [this, text] {
            if (const QString refused = clipboard::putTextOrSay(text->text()); !refused.isEmpty())
                emit failed(refused);
        });
        grid->addWidget(copy, row, 2);
        m_notations.append({format.name, text});
        ++row;
    }

    grid->addWidget(bold(QStringLiteral("Contrast"), this), row++, 0, 1, 3);
    m_white = addContrastRow(grid, row++, new QLabel(QStringLiteral("White"), this));
    m_black = addContrastRow(grid, row++, new QLabel(QStringLiteral("Black"), this));
    m_second = new QLineEdit(this);
    m_second->setObjectName(QStringLiteral("txtSecond"));
    m_second->setMaxLength(7);
    m_second->setPlaceholderText(QStringLiteral("#RRGGBB"));
    m_second->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{0,6}")), m_second));
    connect(m_second, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Typed, it stays; emptied, the selected swatch comes back.
        m_typed = !text.isEmpty();
        showContrasts();
    });
    m_other = addContrastRow(grid, row++, m_second);
    setColor(m_color);
}

frmdetails::Contrast frmdetails::addContrastRow(QGridLayout *grid, int row, QWidget *against)
{
    Contrast contrast{new QLabel(this), new QLabel(this)};
    grid->addWidget(against, row, 0);
    // The levels read right after the ratio, across the text and button columns.
    auto *both = new QHBoxLayout;
    both->setSpacing(12);
    contrast.ratio->setMinimumWidth(
        contrast.ratio->fontMetrics().horizontalAdvance(QStringLiteral("21.00:1")));
    both->addWidget(contrast.ratio);
    both->addWidget(contrast.levels, 1);
    grid->addLayout(both, row, 1, 1, 2);
    return contrast;
}

void frmdetails::setColor(Color color)
{
    m_color = color;
    m_swatch->setBackColor(color);
    m_name->setText(colornames::shown(colornames::nearest(color)));
    for (const auto &[format, text] : std::as_const(m_notations))
        text->setText(colorformat::text(format, color));
    showContrasts();
}

void frmdetails::setSecondColor(Color color)
{
    if (m_typed)
        return;
    m_second->setText(bascommon::ColorToHex(color));
    showContrasts();
}

void frmdetails::showContrasts()
{
    showContrast(m_white, 0xFFFFFF);
    showContrast(m_black, 0);
    if (const std::optional<Color> other = bascommon::parseHexColor(m_second->text())) {
        showContrast(m_other, *other);
    } else {
        m_other.ratio->setText(QStringLiteral("–"));
        m_other.levels->clear();
    }
}

void frmdetails::showContrast(const Contrast &row, Color other)
{
    const double ratio = contrast::ratio(m_color, other);
    row.ratio->setText(contrast::text(ratio));
    const QStringList met = contrast::levels(ratio);
    row.levels->setText(met.isEmpty() ? QStringLiteral("fails AA-large")
                                      : met.join(QLatin1Char(' ')));
}

// The Preferences window.
#include "frmpreferences.h"

#include "formats/colorformat.h"
#include "shortcutsetup.h"
#include "ui/designunits.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>

frmpreferences::frmpreferences(const QString &applicationName, RootKeyGrab *grab, QWidget *parent)
    : QWidget(parent, Qt::Window), desktop(globalshortcut::detect()),
      m_applicationName(applicationName), m_grab(grab)
{
    setObjectName(QStringLiteral("frmpreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(designunits::windowFont());
    auto *grid = new QGridLayout(this);
    // The window grows with what the desktop says, however many lines that takes.
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    auto *heading = new QLabel(QStringLiteral("Pick a color to the clipboard from anywhere"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, 0, 0, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Shortcut:"), this), 1, 0);
    m_keys = new QKeySequenceEdit(this);
    m_keys->setObjectName(QStringLiteral("keyShortcut"));
    m_keys->setMinimumWidth(designunits::pixels(2400));
    // One combination: desktops bind no sequences of them.
    connect(m_keys, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence &keys) {
        if (keys.count() > 1)
            m_keys->setKeySequence(QKeySequence(keys[0]));
    });
    grid->addWidget(m_keys, 1, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Copies as:"), this), 2, 0);
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboFormat"));
    // A template may be typed too.
    m_format->setEditable(true);
    m_format->addItems(colorformat::names());
    grid->addWidget(m_format, 2, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Desktop:"), this), 3, 0);
    auto *where = new QLabel(globalshortcut::name(desktop), this);
    where->setObjectName(QStringLiteral("lblDesktop"));
    grid->addWidget(where, 3, 1, 1, 2);

    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("lblCurrent"));
    m_current->setWordWrap(true);
    grid->addWidget(m_current, 4, 0, 1, 3);

    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("lblOutcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_outcome->setMinimumWidth(designunits::pixels(5400));
    grid->addWidget(m_outcome, 5, 0, 1, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_setUp = new QPushButton(QStringLiteral("Set Up"), this);
    m_setUp->setObjectName(QStringLiteral("cmdSetUp"));
    m_setUp->setDefault(true);
    connect(m_setUp, &QPushButton::clicked, this, &frmpreferences::cmdSetUp_Click);
    m_remove = new QPushButton(QStringLiteral("Remove"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemove"));
    connect(m_remove, &QPushButton::clicked, this, &frmpreferences::cmdRemove_Click);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(m_setUp);
    buttons->addWidget(m_remove);
    buttons->addWidget(close);
    grid->addLayout(buttons, 6, 0, 1, 3);

    const shortcutsetup::Kept kept = shortcutsetup::kept(m_applicationName);
    if (kept.keys)
        m_keys->setKeySequence(QKeySequence(shortcutkeys::kde(*kept.keys)));
    m_format->setCurrentText(kept.format.isEmpty() ? QStringLiteral("hex") : kept.format);
    showKept();
}

void frmpreferences::cmdSetUp_Click()
{
    const QKeySequence sequence = m_keys->keySequence();
    QString why;
    const std::optional<shortcutkeys::Keys> keys =
        shortcutkeys::parse(sequence.toString(QKeySequence::PortableText), &why);
    if (!keys)
        return showOutcome(
            {false,
             QStringLiteral("Choose the shortcut first: %1.")
                 .arg(sequence.isEmpty() ? QStringLiteral("press the keys in the field") : why)});
    const QString format = m_format->currentText().trimmed();
    if (const QString problem = colorformat::problem(format); !problem.isEmpty())
        return showOutcome({false, QStringLiteral("Bad format: %1.").arg(problem)});
    // hex is what --pick --once copies without a format.
    const QString given = format == QLatin1String("hex") ? QString() : format;
    run([desktop = desktop, keys = *keys, given, name = m_applicationName, grab = m_grab] {
        return shortcutsetup::setUp(desktop, keys, given, name, grab);
    });
}

void frmpreferences::cmdRemove_Click()
{
    run([desktop = desktop, name = m_applicationName, grab = m_grab] {
        return shortcutsetup::remove(desktop, name, grab);
    });
}

void frmpreferences::run(std::function<globalshortcut::Outcome()> work)
{
    m_setUp->setEnabled(false);
    m_remove->setEnabled(false);
    m_outcome->setText(QStringLiteral("Asking %1...").arg(globalshortcut::name(desktop)));
    if (desktop == globalshortcut::Desktop::X11 || desktop == globalshortcut::Desktop::Unknown) {
        showOutcome(work());
        return;
    }
    // A service that never answers leaves the buttons usable again; its answer, should it
    // come, is still shown.
    QTimer::singleShot(shortcutsetup::deadlineSeconds * 1000, this, [this, asked = ++m_asked] {
        if (asked == m_asked && !m_setUp->isEnabled())
            showOutcome({false, shortcutsetup::silence(desktop)});
    });
    QThreadPool::globalInstance()->start([work = std::move(work), self = QPointer(this)] {
        const globalshortcut::Outcome outcome = work();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, outcome] {
                if (self)
                    self->showOutcome(outcome);
            },
            Qt::QueuedConnection);
    });
}

void frmpreferences::showOutcome(const globalshortcut::Outcome &outcome)
{
    m_setUp->setEnabled(true);
    m_remove->setEnabled(true);
    m_outcome->setText(outcome.line);
    QPalette palette = m_outcome->palette();
    palette.setColor(QPalette::WindowText, outcome.done ? QColor(0, 100, 0) : QColor(170, 0, 0));
    m_outcome->setPalette(palette);
    showKept();
    emit answered(outcome);
}

void frmpreferences::showKept()
{
    m_current->setText(QStringLiteral("Now: ") +
                       shortcutsetup::describe(shortcutsetup::kept(m_applicationName)));
}

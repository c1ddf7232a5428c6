// The floors for start-up figures: a bare Qt 6 Widgets window of the main window's size, and
// (FLOOR_WITH_TEXT) the same window with one line of text, which alone loads the font database
// that any window with text pays for.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(186, 348);
#ifdef FLOOR_WITH_TEXT
    auto *text = new QLineEdit(QStringLiteral("#FFFFFF"), &window);
    text->setGeometry(110, 48, 69, 19);
#endif
    window.show();
    return app.exec();
}

#include "AppLook.h"
#include "NumberFormat.h"
#include "QtViewerServices.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QLocale>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("korvane-view");
    // Data files are read with the user's decimal symbol, as the window does;
    // the C library's own locale stays out of every conversion.
    std::setlocale(LC_NUMERIC, "C");
    const QString symbol = QLocale::system().decimalPoint();
    korvane::SetDecimalSeparator(symbol.size() == 1 && symbol[0] == QChar(',') ? ',' : '.');
    QApplication::setWindowIcon(korvane::ProgramIcon());

    korvane::QtViewerServices services;
    korvane::ViewerWindow window(services);
    window.show();
    QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        window.OpenFiles(files);
    return application.exec();
}

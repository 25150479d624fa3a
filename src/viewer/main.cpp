#include "AppLook.h"
#include "DecimalSymbol.h"
#include "FloatControl.h"
#include "NumberFormat.h"
#include "QtViewerServices.h"
#include "ViewerWindow.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    korvane::platform::SetExtendedPrecision();
    QApplication application(argc, argv);
    QApplication::setApplicationName("korvane-view");
    // Data files are read with the user's decimal symbol, by the window's and
    // korvane-batch's rule; the C library's own locale stays out of every
    // conversion.
    std::setlocale(LC_NUMERIC, "C");
    korvane::SetDecimalSeparator(korvane::UserDecimalSymbol());
    QApplication::setWindowIcon(korvane::ProgramIcon());

    korvane::QtViewerServices services;
    korvane::ViewerWindow window(services);
    window.show();
    QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        window.OpenFiles(files);
    return application.exec();
}

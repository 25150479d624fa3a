// Every control of the main window and the completion dialog where the layout
// tables put it, with its text, enabled flag, tab stop and font.
#include "FakeUiServices.h"

#include "AppLook.h"
#include "BitBtn.h"
#include "Edit.h"
#include "FinishForm.h"
#include "GroupBox.h"
#include "MainForm.h"
#include "ModelPicture.h"
#include "Panel.h"
#include "TabbedNotebook.h"

#include <QLabel>
#include <QTabBar>
#include <QtTest>

using namespace korvane;

namespace {

enum class Tab { No, Yes };
enum class Weight { Regular, Bold };

struct Expected {
    const char* name;
    const char* parent; // "page0" and "page1" are the notebook's unnamed pages
    QRect geometry;
    const char* text; // caption or initial text; nullptr where there is none
    bool enabled;
    Tab tab;
    int pixelSize;
    Weight weight;
    QColor color; // invalid: the window-text colour
};

const QColor Blue(0, 0, 255), Red(255, 0, 0), Black(0, 0, 0), WindowText;

Expected Label(const char* name, const char* parent, QRect r, const char* caption) {
    return {name, parent, r, caption, true, Tab::No, 12, Weight::Bold, Blue};
}
Expected Input(const char* name, const char* parent, QRect r, const char* text, bool enabled) {
    return {name, parent, r, text, enabled, Tab::Yes, 15, Weight::Regular, WindowText};
}
Expected Plain(const char* name, const char* parent, QRect r, const char* text = nullptr,
               int size = 12, QColor color = WindowText) {
    return {name, parent, r, text, true, Tab::No, size, Weight::Regular, color};
}

const char* const H1 = "Heat Trans. Coeff.(1) (cal/cm2.s.℃)";
const char* const H2 = "Heat Trans. Coeff.(2) (cal/cm2.s.℃)";
const char* const T1 = "Outer Temperature(1) (℃)";
const char* const T2 = "Outer Temperature(2) (℃)";
const char* const L = "Length (cm)";

std::vector<Expected> MainWindowControls() {
    return {
        Plain("Start", "page0", {43, 279, 120, 40}, "&Go", 15),
        Plain("Close", "page0", {40, 348, 120, 40}, "&Close", 15),
        Plain("Groui1", "page0", {6, 16, 423, 215}, "Main Input Conditions", 16, Black),
        Plain("Panel12", "page0", {447, 3, 219, 236}, ""),
        Plain("Image1", "Panel12", {4, 4, 211, 228}),
        Plain("Panel13", "page0", {212, 240, 116, 21}, "  Save File Name: ", 15, Red),
        Plain("Edit12", "page0", {217, 264, 130, 20}, "result.txt"),
        Plain("Panel14", "page0", {368, 239, 130, 24}, "  Folder for Saving:   ", 15, Red),
        Plain("DriveComboBox1", "page0", {368, 265, 151, 18}),
        Plain("DirectoryListBox1", "page0", {370, 284, 146, 151}),
        Plain("FileListBox1", "page0", {527, 265, 137, 171}),
        Plain("InputData1", "page0", {219, 355, 120, 30}, "Read Input Data", 12, Red),
        Label("Panel1", "Groui1", {12, 18, 121, 17}, "Density (g/cm3)"),
        Input("Edit1", "Groui1", {321, 17, 81, 23}, "1.14", false),
        Label("Panel2", "Groui1", {12, 42, 161, 17}, "Specific Heat (cal/g.℃)"),
        Input("Edit2", "Groui1", {320, 40, 80, 23}, "0.56", false),
        Label("Panel3", "Groui1", {12, 66, 225, 17}, "Thermal Conductivity (cal/s.cm.℃)"),
        Input("Edit3", "Groui1", {321, 63, 80, 23}, "0.0006", false),
        Label("Panel4", "Groui1", {12, 90, 105, 17}, "Thickness (cm)"),
        Input("Edit4", "Groui1", {321, 87, 80, 23}, "0.013", true),
        Label("Panel8", "Groui1", {13, 113, 97, 17}, "Speed (m/min)"),
        Input("Edit8", "Groui1", {322, 110, 80, 23}, "27.0", true),
        Label("Panel11", "Groui1", {12, 136, 153, 17}, "Initial Temperature (℃)"),
        Input("Edit11", "Groui1", {321, 133, 81, 23}, "300.0", true),
        Label("Panel15", "Groui1", {10, 159, 133, 17}, "Increment Δz (cm)"),
        Input("Edit13", "Groui1", {321, 157, 81, 23}, "0.5", true),
        Label("Panel16", "Groui1", {10, 184, 127, 17}, "Number of Layers"),
        Input("Edit14", "Groui1", {321, 181, 81, 23}, "10", true),

        Plain("GroupBox1", "page1", {0, 0, 681, 450}, "Zone Input Conditions"),
        Plain("GroupBox2", "GroupBox1", {4, 18, 333, 127}, "Zone 1"),
        Plain("GroupBox3", "GroupBox1", {4, 149, 334, 127}, "Zone 2"),
        Plain("GroupBox4", "GroupBox1", {342, 17, 334, 128}, "Zoen 3"),
        Plain("GroupBox5", "GroupBox1", {342, 148, 334, 128}, "Zoen 4"),
        Plain("BitBtn1", "GroupBox1", {49, 299, 120, 40}, "&Go", 15),
        Plain("BitBtn2", "GroupBox1", {47, 359, 120, 40}, "&Close", 15),
        Plain("Panel32", "GroupBox1", {209, 276, 116, 21}, "  Save File Name:  ", 15, Red),
        Plain("Edit30", "GroupBox1", {210, 299, 130, 20}, "result.txt"),
        Plain("Panel33", "GroupBox1", {360, 276, 130, 24}, "  Folder for Saving:   ", 15, Red),
        Plain("DriveComboBox2", "GroupBox1", {363, 298, 146, 18}),
        Plain("DirectoryListBox2", "GroupBox1", {364, 319, 146, 108}),
        Plain("FileListBox2", "GroupBox1", {527, 300, 137, 128}),
        Plain("InputData2", "GroupBox1", {218, 364, 120, 30}, "Read Input Data"),

        Label("Panel6", "GroupBox2", {6, 11, 233, 17}, H1),
        Input("Edit5", "GroupBox2", {239, 8, 80, 23}, "0.0005", false),
        Label("Panel9", "GroupBox2", {6, 35, 233, 17}, H2),
        Input("Edit6", "GroupBox2", {239, 32, 80, 23}, "0.09", false),
        Label("Panel10", "GroupBox2", {6, 60, 169, 17}, T1),
        Input("Edit9", "GroupBox2", {240, 55, 80, 23}, "30.0", true),
        Label("Panel17", "GroupBox2", {5, 84, 169, 17}, T2),
        Input("Edit10", "GroupBox2", {239, 77, 80, 23}, "50.0", true),
        Label("Panel7", "GroupBox2", {7, 102, 81, 17}, L),
        Input("Edit7", "GroupBox2", {239, 97, 80, 23}, "10.0", true),

        Label("Panel5", "GroupBox3", {4, 13, 233, 17}, H1),
        Input("Edit15", "GroupBox3", {239, 7, 80, 23}, "0.09", false),
        Label("Panel18", "GroupBox3", {4, 37, 233, 17}, H2),
        Input("Edit16", "GroupBox3", {239, 31, 80, 23}, "0.09", false),
        Label("Panel19", "GroupBox3", {4, 64, 169, 17}, T1),
        Input("Edit17", "GroupBox3", {239, 54, 80, 23}, "50.0", true),
        Label("Panel20", "GroupBox3", {3, 86, 169, 17}, T2),
        Input("Edit18", "GroupBox3", {239, 76, 80, 23}, "50.0", true),
        Label("Panel25", "GroupBox3", {5, 102, 81, 17}, L),
        Input("Edit23", "GroupBox3", {239, 96, 80, 23}, "10.0", true),

        Label("Panel21", "GroupBox4", {3, 14, 233, 17}, H1),
        Input("Edit19", "GroupBox4", {239, 10, 80, 23}, "0.0005", false),
        Label("Panel22", "GroupBox4", {3, 38, 233, 17}, H2),
        Input("Edit20", "GroupBox4", {239, 32, 80, 23}, "0.0005", false),
        Label("Panel23", "GroupBox4", {3, 62, 169, 17}, T1),
        Input("Edit21", "GroupBox4", {239, 55, 80, 23}, "30.0", true),
        Label("Panel24", "GroupBox4", {2, 87, 169, 17}, T2),
        Input("Edit22", "GroupBox4", {239, 78, 80, 23}, "30.0", true),
        Label("Panel26", "GroupBox4", {4, 106, 81, 17}, L),
        Input("Edit24", "GroupBox4", {239, 101, 80, 23}, "20.0", true),

        Label("Panel27", "GroupBox5", {3, 14, 233, 17}, H1),
        Input("Edit25", "GroupBox5", {239, 10, 80, 23}, "", true),
        Label("Panel28", "GroupBox5", {3, 38, 233, 17}, H2),
        Input("Edit26", "GroupBox5", {239, 32, 80, 23}, "", true),
        Label("Panel29", "GroupBox5", {3, 62, 169, 17}, T1),
        Input("Edit27", "GroupBox5", {239, 55, 80, 23}, "", true),
        Label("Panel30", "GroupBox5", {2, 87, 169, 17}, T2),
        Input("Edit28", "GroupBox5", {239, 78, 80, 23}, "", true),
        Label("Panel31", "GroupBox5", {4, 106, 81, 17}, L),
        Input("Edit29", "GroupBox5", {239, 101, 80, 23}, "", true),
    };
}

QString TextOf(const QWidget* widget) {
    if (auto* panel = dynamic_cast<const TPanel*>(widget))
        return panel->Caption();
    if (auto* edit = dynamic_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* button = dynamic_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* box = dynamic_cast<const TGroupBox*>(widget))
        return box->Caption();
    if (auto* label = dynamic_cast<const QLabel*>(widget))
        return label->text();
    return {};
}

std::vector<Expected> FinishFormControls() {
    return {
        Plain("Panel1", "FinishForm", {0, 0, 361, 230}, ""),
        Plain("Panel2", "Panel1", {21, 15, 323, 46}, ""),
        Plain("Label4", "Panel2", {15, 13, 293, 19}, "Calculation is successfully finished !", 19,
              Blue),
        Plain("Label3", "Panel1", {147, 80, 51, 16}, "Ver. 1.2", 16, Blue),
        Plain("Label1", "Panel1", {146, 146, 54, 16}, "2008.8.3", 16),
        {"BitBtn1",
         "Panel1",
         {126, 178, 100, 29},
         "OK",
         true,
         Tab::Yes,
         13,
         Weight::Regular,
         Black},
    };
}

void CheckControl(const QWidget* widget, const Expected& expected, const QString& parentName) {
    const QByteArray where = expected.name;
    QVERIFY2(widget, where);
    QCOMPARE(parentName, QString(expected.parent));
    // A label whose text is wider in this font may have grown sideways.
    const QRect geometry = widget->geometry();
    if (qobject_cast<const QLabel*>(widget))
        QVERIFY2(geometry.contains(expected.geometry) &&
                     geometry.top() == expected.geometry.top() &&
                     geometry.height() == expected.geometry.height(),
                 where);
    else
        QCOMPARE(geometry, expected.geometry);
    if (expected.text)
        QCOMPARE(TextOf(widget), QString::fromUtf8(expected.text));
    QVERIFY2(OwnEnabled(widget) == expected.enabled, where);
    QVERIFY2(bool(widget->focusPolicy() & Qt::TabFocus) == (expected.tab == Tab::Yes), where);
    QVERIFY2(widget->font().pixelSize() == expected.pixelSize, where);
    QVERIFY2(widget->font().bold() == (expected.weight == Weight::Bold), where);
    QVERIFY2(widget->font().family() == UiFontFamily(), where);
    const QColor color = expected.color.isValid() ? expected.color : WindowTextColor();
    QVERIFY2(widget->palette().color(QPalette::Active, QPalette::WindowText) == color, where);
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        QVERIFY(QDir::setCurrent(folder_.path()));
    }

    void everyControlOfTheMainWindow() {
        FakeUiServices services;
        TForm1 form(services);
        for (const Expected& expected : MainWindowControls()) {
            auto* widget = form.findChild<QWidget*>(expected.name);
            QVERIFY2(widget, expected.name);
            QWidget* parent = widget->parentWidget();
            const QString parentName = parent == form.TabbedNotebook1->Page(0) ? "page0"
                                       : parent == form.TabbedNotebook1->Page(1)
                                           ? "page1"
                                           : parent->objectName();
            CheckControl(widget, expected, parentName);
            if (QTest::currentTestFailed())
                return;
        }
        // No control is left out of the tables: 30 edit boxes, 33 panels.
        for (int i = 1; i <= 30; ++i)
            QCOMPARE(form.Edit[i]->objectName(), QString("Edit%1").arg(i));
        for (int i = 1; i <= 33; ++i)
            QCOMPARE(form.Panel[i]->objectName(), QString("Panel%1").arg(i));
    }

    // What a copied table cannot tell: whether the controls fit together. A
    // label that grows, or a control drawn larger, must not cover a neighbour
    // that the layout keeps clear of it (the layout itself lets a few boxes
    // touch by a pixel), nor reach out of its parent.
    void noSiblingsOverlapAndEveryControlLiesInsideItsParent() {
        FakeUiServices services;
        TForm1 form(services);
        TFinishForm dialog(&form);
        const std::pair<QWidget*, std::vector<Expected>> windows[] = {
            {&form, MainWindowControls()}, {&dialog, FinishFormControls()}};
        for (const auto& [top, table] : windows)
            for (const Expected& a : table) {
                const QWidget* w = top->findChild<QWidget*>(a.name);
                QVERIFY2(w, a.name);
                QVERIFY2(w->parentWidget()->rect().contains(w->geometry()),
                         qPrintable(QString(a.name) + " reaches out of its parent"));
                for (const Expected& b : table) {
                    const QWidget* other = top->findChild<QWidget*>(b.name);
                    if (other == w || other->parentWidget() != w->parentWidget())
                        continue;
                    QVERIFY2(!w->geometry().intersects(other->geometry()) ||
                                 a.geometry.intersects(b.geometry),
                             qPrintable(QString(a.name) + " covers " + b.name));
                }
            }
    }

    void frameNotebookAndButtonKinds() {
        FakeUiServices services;
        TForm1 form(services);
        QCOMPARE(form.windowTitle(), QString("Korvane "));
        QCOMPARE(form.size(), QSize(689, 477));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(32, 32));
        QCOMPARE(form.font().pixelSize(), 12);

        QCOMPARE(form.TabbedNotebook1->geometry(), QRect(0, 0, 689, 477));
        QCOMPARE(form.TabbedNotebook1->Tabs()->tabText(0), QString("Main Condition"));
        QCOMPARE(form.TabbedNotebook1->Tabs()->tabText(1), QString("Zone Condition"));
        QCOMPARE(form.TabbedNotebook1->Page(0)->geometry(), QRect(4, 23, 681, 450));
        QCOMPARE(form.TabbedNotebook1->Page(1)->geometry(), QRect(4, 23, 681, 450));
        QCOMPARE(form.TabbedNotebook1->PageIndex(), 0);
        QVERIFY(form.TabbedNotebook1->Page(0)->isEnabled());
        QVERIFY(!form.TabbedNotebook1->Page(1)->isEnabled());
        form.TabbedNotebook1->SetPageIndex(1);
        QVERIFY(!form.TabbedNotebook1->Page(0)->isEnabled());
        QVERIFY(form.TabbedNotebook1->Page(1)->isEnabled());

        for (TBitBtn* ok : {form.Start, form.BitBtn1, form.InputData1, form.InputData2})
            QCOMPARE(ok->ButtonKind(), TBitBtn::Kind::OK);
        for (TBitBtn* close : {form.Close, form.BitBtn2})
            QCOMPARE(close->ButtonKind(), TBitBtn::Kind::Close);
        for (TBitBtn* button :
             {form.Start, form.Close, form.BitBtn1, form.BitBtn2, form.InputData1, form.InputData2})
            QVERIFY(!button->icon().isNull());

        QCOMPARE(form.Panel[12]->Outer(), TPanel::Bevel::Raised);
        QCOMPARE(form.Panel[12]->Inner(), TPanel::Bevel::Lowered);
        QCOMPARE(form.Panel[12]->BevelWidth(), 2);
    }

    void disabledBoxesReadableYetDisabled() {
        FakeUiServices services;
        TForm1 form(services);
        form.TabbedNotebook1->SetPageIndex(1);
        // As drawn: the background at the right end of the box, the text as
        // its strongest pixel.
        auto colours = [](QWidget* box) {
            const QImage image = box->grab().toImage();
            const QColor background = image.pixelColor(image.width() - 4, image.height() / 2);
            QColor text = background;
            for (int y = 3; y < image.height() - 3; ++y)
                for (int x = 3; x < image.width() - 3; ++x)
                    if (ContrastRatio(image.pixelColor(x, y), background) >
                        ContrastRatio(text, background))
                        text = image.pixelColor(x, y);
            return std::pair(text, background);
        };
        const auto [enabledText, enabledBackground] = colours(form.Edit[9]);
        for (int box : {1, 2, 3, 5, 6, 15, 16, 19, 20}) {
            const auto [text, background] = colours(form.Edit[box]);
            const QByteArray where = form.Edit[box]->objectName().toLatin1();
            QVERIFY2(ContrastRatio(text, background) >= 4.5, where);
            QVERIFY2(text != enabledText || background != enabledBackground, where);
        }
    }

    void modelPictureCentredAndClipped() {
        FakeUiServices services;
        TForm1 form(services);
        const QImage& picture = form.Image1->Picture();
        QCOMPARE(picture.size(), QSize(232, 256));
        QCOMPARE(form.Image1->ImageOrigin(), QPoint(-10, -14));
        // Light pink ground, and all of the sketch inside the part shown.
        const QColor ground(255, 192, 255);
        QCOMPARE(picture.pixelColor(0, 0), ground);
        const QRect shown(10, 14, 211, 228);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (!shown.contains(x, y))
                    QCOMPARE(picture.pixelColor(x, y), ground);
        // The cross-section's grey, and red of the profile, are there.
        bool grey = false, red = false;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                grey |= picture.pixelColor(x, y) == QColor(192, 192, 192);
                red |= picture.pixelColor(x, y) == QColor(255, 0, 0);
            }
        QVERIFY(grey && red);
    }

    void completionDialog() {
        FakeUiServices services;
        TForm1 form(services);
        TFinishForm dialog(&form);
        QCOMPARE(dialog.windowTitle(), QString("FinishForm"));
        QCOMPARE(dialog.size(), QSize(361, 230));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.windowIcon().availableSizes().value(0), QSize(32, 32));
        QVERIFY(dialog.BitBtn1->isDefault());
        const std::vector<Expected> controls = FinishFormControls();
        for (const Expected& expected : controls) {
            auto* widget = dialog.findChild<QWidget*>(expected.name);
            QVERIFY2(widget, expected.name);
            CheckControl(widget, expected, widget->parentWidget()->objectName());
            if (QTest::currentTestFailed())
                return;
        }
        // Every label shows its whole text within its rectangle; "2008.8.3" and
        // "Ver. 1.2", with room to grow, keep their letter spacing.
        for (QLabel* label : {dialog.Label4, dialog.Label3, dialog.Label1})
            QVERIFY2(QFontMetricsF(label->font()).horizontalAdvance(label->text()) <=
                             label->width() &&
                         label->parentWidget()->contentsRect().contains(label->geometry()),
                     qPrintable(label->objectName()));
        QCOMPARE(dialog.Label3->font().letterSpacing(), 0.0);
        QCOMPARE(dialog.Label1->font().letterSpacing(), 0.0);
    }

  private:
    QTemporaryDir folder_;
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"

#include "MainForm.h"

#include "AppLook.h"
#include "BitBtn.h"
#include "DirectoryListBox.h"
#include "DriveComboBox.h"
#include "Edit.h"
#include "FileListBox.h"
#include "GroupBox.h"
#include "ModelPicture.h"
#include "Panel.h"
#include "UiServices.h"

#include <QFileDialog>

namespace korvane {

namespace {

constexpr int InputTextSize = 15, ButtonTextSize = 15, LabelTextSize = 12;

// One input row: a label panel naming the input and its edit box.
struct InputRow {
    int panel;
    QRect panelRect;
    const char* caption;
    int edit;
    QRect editRect;
    const char* text;
    bool enabled;
};

// The rows of the first page's group box, top to bottom.
const InputRow MainRows[] = {
    {1, {12, 18, 121, 17}, "Density (g/cm3)", 1, {321, 17, 81, 23}, "1.14", false},
    {2, {12, 42, 161, 17}, "Specific Heat (cal/g.℃)", 2, {320, 40, 80, 23}, "0.56", false},
    {3,
     {12, 66, 225, 17},
     "Thermal Conductivity (cal/s.cm.℃)",
     3,
     {321, 63, 80, 23},
     "0.0006",
     false},
    {4, {12, 90, 105, 17}, "Thickness (cm)", 4, {321, 87, 80, 23}, "0.013", true},
    {8, {13, 113, 97, 17}, "Speed (m/min)", 8, {322, 110, 80, 23}, "27.0", true},
    {11, {12, 136, 153, 17}, "Initial Temperature (℃)", 11, {321, 133, 81, 23}, "300.0", true},
    {15, {10, 159, 133, 17}, "Increment Δz (cm)", 13, {321, 157, 81, 23}, "0.5", true},
    {16, {10, 184, 127, 17}, "Number of Layers", 14, {321, 181, 81, 23}, "10", true},
};

struct ZoneBox {
    const char* name;
    QRect rect;
    const char* caption;
    InputRow rows[5];
};

constexpr const char* Htc1Caption = "Heat Trans. Coeff.(1) (cal/cm2.s.℃)";
constexpr const char* Htc2Caption = "Heat Trans. Coeff.(2) (cal/cm2.s.℃)";
constexpr const char* Temp1Caption = "Outer Temperature(1) (℃)";
constexpr const char* Temp2Caption = "Outer Temperature(2) (℃)";
constexpr const char* LengthCaption = "Length (cm)";

QRect Coefficient(int x, int y) {
    return {x, y, 233, 17};
}
QRect Temperature(int x, int y) {
    return {x, y, 169, 17};
}
QRect Length(int x, int y) {
    return {x, y, 81, 17};
}
QRect Box(int x, int y) {
    return {x, y, 80, 23};
}

const ZoneBox Zones[] = {
    {"GroupBox2",
     {4, 18, 333, 127},
     "Zone 1",
     {{6, Coefficient(6, 11), Htc1Caption, 5, Box(239, 8), "0.0005", false},
      {9, Coefficient(6, 35), Htc2Caption, 6, Box(239, 32), "0.09", false},
      {10, Temperature(6, 60), Temp1Caption, 9, Box(240, 55), "30.0", true},
      {17, Temperature(5, 84), Temp2Caption, 10, Box(239, 77), "50.0", true},
      {7, Length(7, 102), LengthCaption, 7, Box(239, 97), "10.0", true}}},
    {"GroupBox3",
     {4, 149, 334, 127},
     "Zone 2",
     {{5, Coefficient(4, 13), Htc1Caption, 15, Box(239, 7), "0.09", false},
      {18, Coefficient(4, 37), Htc2Caption, 16, Box(239, 31), "0.09", false},
      {19, Temperature(4, 64), Temp1Caption, 17, Box(239, 54), "50.0", true},
      {20, Temperature(3, 86), Temp2Caption, 18, Box(239, 76), "50.0", true},
      {25, Length(5, 102), LengthCaption, 23, Box(239, 96), "10.0", true}}},
    {"GroupBox4",
     {342, 17, 334, 128},
     "Zoen 3",
     {{21, Coefficient(3, 14), Htc1Caption, 19, Box(239, 10), "0.0005", false},
      {22, Coefficient(3, 38), Htc2Caption, 20, Box(239, 32), "0.0005", false},
      {23, Temperature(3, 62), Temp1Caption, 21, Box(239, 55), "30.0", true},
      {24, Temperature(2, 87), Temp2Caption, 22, Box(239, 78), "30.0", true},
      {26, Length(4, 106), LengthCaption, 24, Box(239, 101), "20.0", true}}},
    {"GroupBox5",
     {342, 148, 334, 128},
     "Zoen 4",
     {{27, Coefficient(3, 14), Htc1Caption, 25, Box(239, 10), "", true},
      {28, Coefficient(3, 38), Htc2Caption, 26, Box(239, 32), "", true},
      {29, Temperature(3, 62), Temp1Caption, 27, Box(239, 55), "", true},
      {30, Temperature(2, 87), Temp2Caption, 28, Box(239, 78), "", true},
      {31, Length(4, 106), LengthCaption, 29, Box(239, 101), "", true}}},
};

template <class Widget> Widget* Place(Widget* widget, const char* name, const QRect& rect) {
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

TPanel* LabelPanel(QWidget* parent, int number, const QRect& rect, const char* caption,
                   int pixelSize, const QColor& color, bool bold) {
    auto* panel = Place(new TPanel(parent), qPrintable(QString("Panel%1").arg(number)), rect);
    panel->SetCaption(QString::fromUtf8(caption));
    SetLook(panel, pixelSize, color, bold);
    return panel;
}

TEdit* EditBox(QWidget* parent, int number, const QRect& rect, const char* text, bool enabled,
               bool tabStop, int pixelSize) {
    auto* edit = Place(new TEdit(QString::fromUtf8(text), parent),
                       qPrintable(QString("Edit%1").arg(number)), rect);
    edit->setEnabled(enabled);
    edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    SetLook(edit, pixelSize, WindowTextColor());
    return edit;
}

TBitBtn* Button(QWidget* parent, TBitBtn::Kind kind, const char* name, const QRect& rect,
                const char* caption, int pixelSize, const QColor& color) {
    auto* button = Place(new TBitBtn(kind, caption, parent), name, rect);
    SetLook(button, pixelSize, color);
    return button;
}

} // namespace

void TForm1::BuildFirstPage(QWidget* page) {
    Start = Button(page, TBitBtn::Kind::OK, "Start", {43, 279, 120, 40}, "&Go", ButtonTextSize,
                   WindowTextColor());
    Close = Button(page, TBitBtn::Kind::Close, "Close", {40, 348, 120, 40}, "&Close",
                   ButtonTextSize, WindowTextColor());
    Groui1 = Place(new TGroupBox("Main Input Conditions", page), "Groui1", {6, 16, 423, 215});
    SetLook(Groui1, 16, Qt::black);
    for (const InputRow& row : MainRows) {
        Panel[row.panel] = LabelPanel(Groui1, row.panel, row.panelRect, row.caption, LabelTextSize,
                                      Qt::blue, true);
        Edit[row.edit] =
            EditBox(Groui1, row.edit, row.editRect, row.text, row.enabled, true, InputTextSize);
    }
    Panel[12] = Place(new TPanel(page, TPanel::Bevel::Raised, TPanel::Bevel::Lowered, 2), "Panel12",
                      {447, 3, 219, 236});
    Image1 = Place(new TImage(ModelPicture(), Panel[12]), "Image1", {4, 4, 211, 228});
    Panel[13] = LabelPanel(page, 13, {212, 240, 116, 21}, "  Save File Name: ", 15, Qt::red, false);
    Edit[12] = EditBox(page, 12, {217, 264, 130, 20}, "result.txt", true, false, 12);
    Panel[14] =
        LabelPanel(page, 14, {368, 239, 130, 24}, "  Folder for Saving:   ", 15, Qt::red, false);
    DriveComboBox1 =
        Place(new TDriveComboBox(page, pickerErrors_), "DriveComboBox1", {368, 265, 151, 18});
    DirectoryListBox1 = Place(new TDirectoryListBox(page, pickerErrors_), "DirectoryListBox1",
                              {370, 284, 146, 151});
    FileListBox1 = Place(new TFileListBox(page), "FileListBox1", {527, 265, 137, 171});
    InputData1 = Button(page, TBitBtn::Kind::OK, "InputData1", {219, 355, 120, 30},
                        "Read Input Data", 12, Qt::red);
    DriveComboBox1->SetDirList(DirectoryListBox1);
    DirectoryListBox1->SetFileList(FileListBox1);
}

void TForm1::BuildSecondPage(QWidget* page) {
    GroupBox1 = Place(new TGroupBox("Zone Input Conditions", page), "GroupBox1", {0, 0, 681, 450});
    std::array<TGroupBox*, 4> zoneBoxes{};
    for (int zone = 0; zone < 4; ++zone) {
        const ZoneBox& layout = Zones[zone];
        auto* box = Place(new TGroupBox(layout.caption, GroupBox1), layout.name, layout.rect);
        zoneBoxes[zone] = box;
        for (const InputRow& row : layout.rows) {
            Panel[row.panel] = LabelPanel(box, row.panel, row.panelRect, row.caption, LabelTextSize,
                                          Qt::blue, true);
            Edit[row.edit] =
                EditBox(box, row.edit, row.editRect, row.text, row.enabled, true, InputTextSize);
        }
    }
    GroupBox2 = zoneBoxes[0], GroupBox3 = zoneBoxes[1], GroupBox4 = zoneBoxes[2],
    GroupBox5 = zoneBoxes[3];
    BitBtn1 = Button(GroupBox1, TBitBtn::Kind::OK, "BitBtn1", {49, 299, 120, 40}, "&Go",
                     ButtonTextSize, WindowTextColor());
    BitBtn2 = Button(GroupBox1, TBitBtn::Kind::Close, "BitBtn2", {47, 359, 120, 40}, "&Close",
                     ButtonTextSize, WindowTextColor());
    Panel[32] =
        LabelPanel(GroupBox1, 32, {209, 276, 116, 21}, "  Save File Name:  ", 15, Qt::red, false);
    Edit[30] = EditBox(GroupBox1, 30, {210, 299, 130, 20}, "", true, false, 12);
    Panel[33] = LabelPanel(GroupBox1, 33, {360, 276, 130, 24}, "  Folder for Saving:   ", 15,
                           Qt::red, false);
    DriveComboBox2 =
        Place(new TDriveComboBox(GroupBox1, pickerErrors_), "DriveComboBox2", {363, 298, 146, 18});
    DirectoryListBox2 = Place(new TDirectoryListBox(GroupBox1, pickerErrors_), "DirectoryListBox2",
                              {364, 319, 146, 108});
    FileListBox2 = Place(new TFileListBox(GroupBox1), "FileListBox2", {527, 300, 137, 128});
    InputData2 = Button(GroupBox1, TBitBtn::Kind::OK, "InputData2", {218, 364, 120, 30},
                        "Read Input Data", 12, WindowTextColor());
    DriveComboBox2->SetDirList(DirectoryListBox2);
    DirectoryListBox2->SetFileList(FileListBox2);

    // Tab runs top to bottom through the first page, then zone by zone.
    const int order[] = {1,  2,  3,  4,  8,  11, 13, 14, 5,  6,  9,  10, 7,  15,
                         16, 17, 18, 23, 19, 20, 21, 22, 24, 25, 26, 27, 28, 29};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(Edit[order[i - 1]], Edit[order[i]]);
}

void TForm1::BuildOpenDialog() {
    OpenFileDialog = new QFileDialog(this);
    OpenFileDialog->setObjectName("OpenFileDialog");
    OpenFileDialog->setFileMode(QFileDialog::ExistingFile);
    OpenFileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    // "*.*" would hide names without a dot here.
    OpenFileDialog->setNameFilters({"Data files (*.txt)", "All files (*)"});
}

} // namespace korvane

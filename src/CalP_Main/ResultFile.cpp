#include "ResultFile.h"

#include "NumberFormat.h"
#include "TextFile.h"

#include <string>

namespace korvane {

namespace {

// Labels are code page 932 bytes: the degree-Celsius sign is 81 8E, delta 83 A2.
#define DEG "\x81\x8E"
#define DELTA "\x83\xA2"

constexpr const char* ColumnHead =
    "   Z    T1    T2    T3    T4    T5    T6    T7    T8    T9    T10   T11   TAV";

// A labelled line: the 42-byte label, then the value in the file's number format.
void WriteValueLine(TextFile& file, const char* label, long double value, int precision,
                    int digits) {
    file.WriteLine(label + FormatFixed(value, precision, digits));
}

// One table row: Z, eleven temperatures and the mean, each at least five wide.
std::string TableRow(double z, const TVector& temps, double mean,
                     const std::array<std::int32_t, 12>& columns) {
    std::string row = FormatRight(5, 1, z);
    row += "  ";
    for (int k = 1; k <= 11; ++k) {
        row += FormatRight(5, 1, temps[static_cast<std::size_t>(columns[k])]);
        row += ' ';
    }
    row += FormatRight(5, 1, mean);
    return row;
}

void WriteTempRows(TextFile& file, const TRowHistory& ZHistory, const TTempHistory& TempHistory,
                   const TRowHistory& AvgHistory, std::int32_t RowCount,
                   const std::array<std::int32_t, 12>& columns) {
    for (std::int32_t r = 1; r <= RowCount && r <= MaxRows; ++r)
        file.WriteLine(TableRow(ZHistory[r], TempHistory[r], AvgHistory[r], columns));
}

} // namespace

std::array<std::int32_t, 12> ColumnNodesFor(std::int32_t LayerCount) {
    std::array<std::int32_t, 12> nodes{};
    nodes[1] = 1;
    for (int i = 2; i <= 10; ++i)
        nodes[i] =
            static_cast<std::int32_t>((static_cast<std::int64_t>(i - 1) * LayerCount) / 10 + 1);
    nodes[11] = LayerCount + 1;
    return nodes;
}

void WriteInputConditions(MessageSink& messages) {
    const TCalcInput& in = CalcInput;
    auto file = TextFile::Open(in.SaveFileName, TextFile::Mode::Create);
    if (!file) {
        messages.ShowMessage(msg::FileCanNotOpen);
        return;
    }
    WriteValueLine(*file, "Density                        (g/cm3) =  ", in.Density, 5, 2);
    WriteValueLine(*file, "Specific Heat               (cal/g." DEG ") =  ", in.SpecificHeat, 5, 2);
    WriteValueLine(*file, "Thermal Conductivity     (cal/s.cm." DEG ") =  ", in.Conductivity, 7, 5);
    WriteValueLine(*file, "Thickness                         (cm) =  ", in.Thickness, 7, 4);
    WriteValueLine(*file, "Speed                          (m/min) =  ", in.Speed, 5, 1);
    WriteValueLine(*file, "Initial Temperature               (" DEG ") =  ", in.InitialTemp, 5, 1);
    WriteValueLine(*file, "Increment " DELTA "z                     (cm) =  ", in.DeltaZ, 6, 2);
    file->WriteLine("Number of Layers                       =  " + std::to_string(in.LayerCount));
    file->WriteLine("");
    file->WriteLine("");
    file->Close();
}

bool SaveZoneResult(const TRowHistory& ZHistory, const TTempHistory& TempHistory,
                    const TRowHistory& AvgHistory, std::int32_t RowCount, std::int32_t LayerCount,
                    MessageSink& messages) {
    const auto columns = ColumnNodesFor(LayerCount);
    auto file = TextFile::Open(CalcInput.SaveFileName, TextFile::Mode::Append);
    if (!file) {
        messages.ShowMessage(msg::CanNotWriteResult);
        return false;
    }
    file->WriteLine("[Zone " + std::to_string(CurZoneNo) + "]");
    WriteValueLine(*file, "Heat Transfer Coeff.-1  (cal/cm2.s." DEG ") =  ", CurZone.Htc1, 7, 5);
    WriteValueLine(*file, "Heat Transfer Coeff.-2  (cal/cm2.s." DEG ") =  ", CurZone.Htc2, 7, 5);
    WriteValueLine(*file, "Outer Temperature -1              (" DEG ") =  ", CurZone.OuterTemp1, 5,
                   1);
    WriteValueLine(*file, "Outer Temperature -2              (" DEG ") =  ", CurZone.OuterTemp2, 5,
                   1);
    // The length shown is the one entered: the allowance comes off at extended precision.
    WriteValueLine(*file, "Length                            (cm) =  ",
                   static_cast<long double>(CurLength) - 0.0001L, 6, 1);
    file->WriteLine("");
    file->WriteLine(ColumnHead);
    WriteTempRows(*file, ZHistory, TempHistory, AvgHistory, RowCount, columns);
    file->WriteLine("");
    file->WriteLine("");
    file->Close();
    return true;
}

} // namespace korvane

#pragma once
#include <string_view>
#include <vector>

// The nine tables of the timetabling program, their fields in file order: defined once, as data.
namespace toa::tables {

enum class FieldKind { Text, Logical, Integer, Float };

struct FieldDef {
    std::string_view name;
    FieldKind kind;
    int width = 0;  // characters of a text field; the others take their layout from below
};

struct TableDef {
    std::string_view name;  // "ASIGNOMT": the data file is the name with ".DBF"
    std::vector<FieldDef> fields;
};

// How the numeric kinds are laid out in the files we write: dBase 'N' fields.
inline constexpr int kIntegerWidth = 11;
inline constexpr int kIntegerDecimals = 0;
inline constexpr int kFloatWidth = 20;
inline constexpr int kFloatDecimals = 4;

extern const TableDef ASIGNOMT;
extern const TableDef ASIGNOMT2;
extern const TableDef PROFT;
extern const TableDef AULAT;
extern const TableDef CURSOST;
extern const TableDef GRUPOST;
extern const TableDef ASIGT;
extern const TableDef DIASHORAST;
// Written only by the timetabling program; its usual layout, for tests and examples.
extern const TableDef SOLUC;

}  // namespace toa::tables

#include "tables/table_component.h"

#include <utility>

#include "platform/error.h"
#include "platform/paths.h"
#include "tables/dbase_file.h"
#include "tables/table_files.h"

namespace toa::tables {

struct TableComponent::Open {
    Open(const std::filesystem::path& path, const std::string& name)
        : file(path, name), table(readDbf(file.readAll(), path.string(), name)) {}

    bool visible(std::size_t row) const {
        return !filter || table.asString(row, filter->first) == filter->second;
    }
    std::optional<std::size_t> visibleFrom(std::size_t row) const {
        for (; row < table.recordCount(); ++row) {
            if (visible(row)) return row;
        }
        return std::nullopt;
    }
    void first() {
        current = visibleFrom(0);
        atEnd = !current;
    }

    HeldFile file;
    Table table;
    std::optional<std::pair<std::size_t, std::string>> filter;
    // As the engine does, the end test turns true after a move past the last visible row while
    // the row stays current; only with no visible row is there none.
    std::optional<std::size_t> current;
    bool atEnd = true;
};

TableComponent::TableComponent(std::string windowsFolder, std::string tableName)
    : windowsFolder_(std::move(windowsFolder)), tableName_(std::move(tableName)) {}

TableComponent::~TableComponent() = default;
TableComponent::TableComponent(TableComponent&&) noexcept = default;
TableComponent& TableComponent::operator=(TableComponent&&) noexcept = default;

void TableComponent::open() {
    if (open_) return;
    const std::filesystem::path folder = mapWindowsPath(windowsFolder_);
    const std::string fileName = tableName_ + ".DBF";
    const std::vector<std::filesystem::path> found = filesNamed(folder, fileName);
    if (found.empty())
        throw Error("No existe la tabla " + tableName_ + " (" + (folder / fileName).string() + ")");
    open_ = std::make_unique<Open>(found.front(), tableName_);
    open_->first();
}

void TableComponent::close() {
    open_.reset();
}

bool TableComponent::active() const {
    return open_ != nullptr;
}

TableComponent::Open& TableComponent::state() const {
    if (!open_) throw Error("La tabla " + tableName_ + " no está abierta");
    return *open_;
}

void TableComponent::first() {
    state().first();
}

void TableComponent::next() {
    Open& open = state();
    if (open.atEnd) return;
    if (const auto row = open.visibleFrom(*open.current + 1))
        open.current = row;
    else
        open.atEnd = true;
}

bool TableComponent::eof() const {
    return state().atEnd;
}

std::size_t TableComponent::recordCount() const {
    return state().table.recordCount();
}

std::string TableComponent::fieldAsString(std::string_view field) const {
    const Open& open = state();
    const std::size_t index = open.table.fieldIndex(field);
    return open.current ? open.table.asString(*open.current, index) : std::string();
}

std::int32_t TableComponent::fieldAsInteger(std::string_view field) const {
    const Open& open = state();
    const std::size_t index = open.table.fieldIndex(field);
    return open.current ? open.table.asInteger(*open.current, index) : 0;
}

void TableComponent::setFilter(std::string_view field, std::string_view value) {
    Open& open = state();
    open.filter.emplace(open.table.fieldIndex(field), std::string(value));
    open.first();
}

void TableComponent::clearFilter() {
    Open& open = state();
    open.filter.reset();
    open.first();
}

const Table& TableComponent::table() const {
    return state().table;
}

std::size_t TableComponent::currentRow() const {
    const Open& open = state();
    if (!open.current) throw Error("La tabla " + tableName_ + " no tiene registro actual");
    return *open.current;
}

}  // namespace toa::tables

#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

// One column of a list view as the user arranged it.
struct ColumnRecord {
    std::string name;        // the title; also its key in the registry
    bool show = true;
    std::uint32_t kind = 0;  // the title's message number: what the column shows
    std::int32_t cx = 0;     // width in pixels
    std::int32_t order = 0;  // position among all columns, shown or not
};

// The stored column set of one list, under
// "CustomizeControls\<list>\Columns" with one subkey per column.
class ColumnLayout {
public:
    struct Default {
        std::uint32_t kind;
        std::int32_t cx;
    };

    // key: the list's Columns key below HKEY_CURRENT_USER; defaults: the
    // list's columns in their default order (their titles come from the
    // message table).
    ColumnLayout(std::string key, std::vector<Default> defaults);

    static ColumnLayout accounts();
    static ColumnLayout messages();
    // The same below another "CustomizeControls" key (tests use their own).
    static ColumnLayout accounts(const std::string& controls_key);
    static ColumnLayout messages(const std::string& controls_key);
    // The list's columns in their default order.
    const std::vector<Default>& defaults() const { return defaults_; }

    void fill_defaults();
    // Defaults first; a stored subkey replaces the default of its name when
    // all four of its values can be read; unknown names are ignored.
    void load();
    void save() const;

    // What the header showed after the user dragged it: for each shown
    // column, in header index order, its record index, width and display
    // order. Hidden columns follow in their current sequence.
    struct HeaderItem {
        std::size_t record;
        std::int32_t cx;
        std::int32_t order;
    };
    void read_back(const std::vector<HeaderItem>& header);

    // The shown records in order: the list's columns 0, 1, 2...
    std::vector<const ColumnRecord*> shown() const;

    std::vector<ColumnRecord>& records() { return records_; }
    const std::vector<ColumnRecord>& records() const { return records_; }
    // Orders become positions again (after an edit of the list).
    void renumber();

private:
    void sort_by_order();

    std::string key_;
    std::vector<Default> defaults_;
    std::vector<ColumnRecord> records_;
};

}  // namespace kivo

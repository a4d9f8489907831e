#pragma once
#include <array>
#include <cstdint>

namespace kivo {

class Account;

// Sorting the accounts list by a click on a column's header. The column's
// kind (its title's message number) chooses the comparison, not its place in
// the header: the user may hide or move columns, and the list must still
// sort by what the clicked column shows. Every column sorts; each has a
// direction of its own, starting ascending, and a second click on the same
// column flips it. Lives as long as the process.
class AccountSort {
public:
    static constexpr int kSortableItems = 8;

    // A click on the header of the column of this kind; false when no
    // comparison belongs to the kind.
    bool click(std::uint32_t kind);

    // The kind that sorted last (its header shows the arrow), or 0.
    std::uint32_t kind() const { return item_ >= 0 ? kinds()[static_cast<std::size_t>(item_)] : 0; }
    bool descending() const { return item_ >= 0 && descending_[static_cast<std::size_t>(item_)]; }

    // Below, equal or above zero as a sorts before, with or after b, in the
    // current item's direction.
    int compare(const Account& a, const Account& b) const;

    // The kinds that sort, in the accounts list's default order.
    static const std::array<std::uint32_t, kSortableItems>& kinds();
    // The mailbox size of an account (the sum of its messages' sizes, under
    // list lock, which the caller holds).
    static std::int64_t mailbox_size(const Account& account);

private:
    int item_ = -1;
    std::array<bool, kSortableItems> descending_{};
};

}  // namespace kivo

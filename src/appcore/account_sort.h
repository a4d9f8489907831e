#pragma once
#include <array>

namespace kivo {

class Account;

// Sorting the accounts list by a click on a header item: items 0 to 5 sort
// by name, server host, user, unseen count, state and last check; each has
// a direction of its own, starting ascending, and a second click on the
// same item flips it. Lives as long as the process.
class AccountSort {
public:
    static constexpr int kSortableItems = 6;

    // A click on header item `item`; false when that item does not sort.
    bool click(int item);

    // The item that sorted last (its header shows the arrow), or -1.
    int item() const { return item_; }
    bool descending() const { return item_ >= 0 && descending_[static_cast<std::size_t>(item_)]; }

    // Below, equal or above zero as a sorts before, with or after b, in the
    // current item's direction.
    int compare(const Account& a, const Account& b) const;

private:
    int item_ = -1;
    std::array<bool, kSortableItems> descending_{};
};

}  // namespace kivo

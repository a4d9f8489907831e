#include "appcore/account_sort.h"

#include <string>

#include "engine/account.h"

namespace kivo {
namespace {

int text_order(const std::string& a, const std::string& b)
{
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Numbers are compared, not subtracted: a difference of two 32-bit counts or
// times can overflow and turn the order around.
template <typename Number>
int number_order(Number a, Number b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

bool AccountSort::click(int item)
{
    if (item < 0 || item >= kSortableItems)
        return false;
    auto index = static_cast<std::size_t>(item);
    if (item == item_)
        descending_[index] = !descending_[index];
    item_ = item;
    return true;
}

int AccountSort::compare(const Account& a, const Account& b) const
{
    int order = 0;
    switch (item_) {
    case 0:
        order = text_order(a.name(), b.name());
        break;
    case 1:
        order = text_order(a.server().host(), b.server().host());
        break;
    case 2:
        order = text_order(a.server().user(), b.server().user());
        break;
    case 3:
        order = number_order(a.new_messages(), b.new_messages());
        break;
    case 4:
        order = number_order(a.state(), b.state());
        break;
    case 5:
        order = number_order(a.last_check(), b.last_check());
        break;
    default:
        return 0;
    }
    return descending() ? -order : order;
}

}  // namespace kivo

#pragma once
#include <string>

namespace kivo::filter {

class PowerFilter;
class WordFilter;

enum class WordList { from, subject, toCc };
enum class AddressList { friends, spammers };

// The dialog step of the Add to commands: shows an entry for editing and
// says whether the user pressed OK. The program answers with its dialogs;
// tests answer directly.
class FilterDialogs {
public:
    virtual ~FilterDialogs() = default;
    // The Filter Edit dialog for an entry of the From or Subject list.
    virtual bool EditWordFilter(WordList list, WordFilter& entry) = 0;
    // The Friend's Edit or Spammer Edit dialog.
    virtual bool EditAddress(AddressList list, std::string& address) = 0;
    // The Power Filter Edit dialog.
    virtual bool EditPowerFilter(PowerFilter& filter) = 0;
};

}  // namespace kivo::filter

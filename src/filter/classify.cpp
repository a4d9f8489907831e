#include "filter/email_filter.h"
#include "filter/text_match.h"
#include "message/message.h"
#include "platform/text.h"

namespace kivo::filter {

namespace {

// A list entry of stages 3, 4, 6 and 7 marks the message.
void mark_by_entry(const BaseFilter& entry, Message& message)
{
    if (entry.uncertain)
        message.set_uncertain(true);
    else
        message.mark_deleted();
}

std::vector<std::string_view> semicolon_pieces(std::string_view text)
{
    // Two ";" in a row give an empty piece; a ";" at the very end gives none.
    std::vector<std::string_view> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(';', pos);
        if (end == std::string_view::npos)
            end = text.size();
        pieces.push_back(trim_filter_space(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    return pieces;
}

}  // namespace

ClassifyStage EmailFilter::Classify(Message& message)
{
    return Classify(message, owner_);
}

ClassifyStage EmailFilter::Classify(Message& message, FilterActions& actions)
{
    ReaderSection section(lock_);
    if (!section.held())
        return ClassifyStage::skipped;
    if (FriendsStage(message)) {
        message.set_friendly(true);
        return ClassifyStage::friends;
    }
    PowerStage(message, actions);
    if (WordStage(fromList_, message.from(), message))
        return ClassifyStage::from;
    if (WordStage(subjectList_, message.subject(), message))
        return ClassifyStage::subject;
    if (SpammersStage(message))
        return ClassifyStage::spammers;
    if (ToCcStage(message))
        return ClassifyStage::toCc;
    if (SizeStage(message))
        return ClassifyStage::size;
    return ClassifyStage::none;
}

bool EmailFilter::FriendsStage(const Message& message) const
{
    if (!switches_.checkFriends || friends_.empty() || message.from().empty())
        return false;
    return friends_.count(AddressKey(ExtractAddress(message.from()))) != 0;
}

void EmailFilter::PowerStage(Message& message, FilterActions& actions) const
{
    for (const PowerFilter& filter : powerList_) {
        if (filter.state == 1 || !filter.Evaluate(message))
            continue;
        switch (filter.mark()) {
        case PowerMark::friendly:
            message.set_friendly(true);
            break;
        case PowerMark::uncertain:
            message.set_uncertain(true);
            break;
        case PowerMark::deleted:
            message.mark_deleted();
            break;
        }
        FireActions(filter, message, actions);
    }
}

bool EmailFilter::WordStage(const std::vector<WordFilter>& list, const std::string& field, Message& message) const
{
    if (field.empty())
        return false;
    // The field is folded once, not once per entry.
    std::string lower_field = platform::to_lower(field);
    for (const WordFilter& entry : list) {
        bool hit = entry.useCase ? field.find(entry.text) != std::string::npos
                                 : lower_field.find(platform::to_lower(entry.text)) != std::string::npos;
        if (hit) {
            mark_by_entry(entry, message);
            return true;
        }
    }
    return false;
}

bool EmailFilter::SpammersStage(Message& message) const
{
    if (!switches_.checkSpammers || spammers_.empty() || message.from().empty())
        return false;
    if (spammers_.count(AddressKey(ExtractAddress(message.from()))) == 0)
        return false;
    message.mark_deleted();
    message.set_spammer(true);
    return true;
}

bool EmailFilter::ToCcStage(Message& message) const
{
    const std::string& to = message.to();
    const std::string& cc = message.cc();
    std::string lower_to = platform::to_lower(to);
    std::string lower_cc = platform::to_lower(cc);
    for (const WordFilter& entry : toCcList_) {
        if (entry.text.empty())
            continue;
        std::vector<std::string_view> pieces = semicolon_pieces(entry.text);
        bool every_absent = true;
        for (std::string_view piece : pieces) {
            if (piece.empty()) {
                every_absent = false;  // counted, never absent
                break;
            }
            std::string folded = entry.useCase ? std::string(piece) : platform::to_lower(piece);
            const std::string& t = entry.useCase ? to : lower_to;
            const std::string& c = entry.useCase ? cc : lower_cc;
            bool in_to = !t.empty() && t.find(folded) != std::string::npos;
            bool in_cc = !c.empty() && c.find(folded) != std::string::npos;
            if (in_to || in_cc) {
                every_absent = false;
                break;
            }
        }
        if (every_absent) {
            mark_by_entry(entry, message);
            return true;
        }
    }
    return false;
}

bool EmailFilter::SizeStage(Message& message) const
{
    for (const SizeFilter& entry : sizeList_) {
        if (entry.size_hit(message.size())) {
            mark_by_entry(entry, message);
            return true;
        }
    }
    return false;
}

}  // namespace kivo::filter

#pragma once
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/common_dialogs.h"

namespace kivo::test {

// Answers the file and font dialogs from a script, as a user would, and
// records what each call asked. A call with no answer left counts as
// cancelled and is counted in `unanswered`, so a test can tell a dialog it
// did not expect.
class ScriptedCommonDialogs : public ui::CommonDialogs {
public:
    enum class Kind { open, save, font };
    struct Request {
        Kind kind;
        HWND owner;
        ui::FileRequest file;  // for open and save
        LOGFONTA font;         // for font
    };

    std::deque<std::optional<std::string>> file_answers;  // none: Cancel
    std::deque<std::optional<LOGFONTA>> font_answers;
    std::vector<Request> requests;
    int unanswered = 0;

    std::optional<std::string> open_file(HWND owner, const ui::FileRequest& request) override
    {
        return answer_file(Kind::open, owner, request);
    }
    std::optional<std::string> save_file(HWND owner, const ui::FileRequest& request) override
    {
        return answer_file(Kind::save, owner, request);
    }
    std::optional<LOGFONTA> choose_font(HWND owner, const LOGFONTA& initial) override
    {
        requests.push_back({Kind::font, owner, {}, initial});
        if (font_answers.empty()) {
            ++unanswered;
            return std::nullopt;
        }
        std::optional<LOGFONTA> answer = font_answers.front();
        font_answers.pop_front();
        return answer;
    }

private:
    std::optional<std::string> answer_file(Kind kind, HWND owner, const ui::FileRequest& request)
    {
        requests.push_back({kind, owner, request, {}});
        if (file_answers.empty()) {
            ++unanswered;
            return std::nullopt;
        }
        std::optional<std::string> answer = file_answers.front();
        file_answers.pop_front();
        return answer;
    }
};

}  // namespace kivo::test

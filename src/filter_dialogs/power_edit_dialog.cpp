#include "filter_dialogs/power_edit_dialog.h"

#include <tuple>

#include "app/resource_ids.h"
#include "filter_dialogs/edit_dialogs.h"
#include "filter_dialogs/entry_rules.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/up_down.h"

namespace kivo::filter_dialogs {
namespace {

// One condition row: its check box, condition combo, pattern and case box.
struct ConditionRow {
    int check, condition, pattern, use_case;
    bool filter::PowerFilter::*enabled;
    std::int32_t filter::PowerFilter::*how;
    std::string filter::PowerFilter::*text;
    bool filter::PowerFilter::*match_case;
};

const ConditionRow kRows[] = {
    {IDC_PF_FROM, IDC_PF_FROM_COND, IDC_PF_FROM_TEXT, IDC_PF_FROM_CASE, &filter::PowerFilter::fromEnabled,
     &filter::PowerFilter::fromCondition, &filter::PowerFilter::from, &filter::PowerFilter::fromCase},
    {IDC_PF_SUBJECT, IDC_PF_SUBJECT_COND, IDC_PF_SUBJECT_TEXT, IDC_PF_SUBJECT_CASE,
     &filter::PowerFilter::subjectEnabled, &filter::PowerFilter::subjectCondition, &filter::PowerFilter::subject,
     &filter::PowerFilter::subjectCase},
    {IDC_PF_TOCC, IDC_PF_TOCC_COND, IDC_PF_TOCC_TEXT, IDC_PF_TOCC_CASE, &filter::PowerFilter::toCcEnabled,
     &filter::PowerFilter::toCcCondition, &filter::PowerFilter::toCc, &filter::PowerFilter::toCcCase},
    {IDC_PF_ATTACH, IDC_PF_ATTACH_COND, IDC_PF_ATTACH_TEXT, IDC_PF_ATTACH_CASE, &filter::PowerFilter::attachEnabled,
     &filter::PowerFilter::attachCondition, &filter::PowerFilter::attach, &filter::PowerFilter::attachCase},
    {IDC_PF_BODY, IDC_PF_BODY_COND, IDC_PF_BODY_TEXT, IDC_PF_BODY_CASE, &filter::PowerFilter::bodyEnabled,
     &filter::PowerFilter::bodyCondition, &filter::PowerFilter::body, &filter::PowerFilter::bodyCase},
    {IDC_PF_HEADER, IDC_PF_HEADER_COND, IDC_PF_HEADER_TEXT, IDC_PF_HEADER_CASE, &filter::PowerFilter::headerEnabled,
     &filter::PowerFilter::headerCondition, &filter::PowerFilter::header, &filter::PowerFilter::headerCase},
};

// An action row: its check box and the controls it enables.
struct ActionRow {
    int check;
    int controls[3];
};
const ActionRow kActions[] = {
    {IDC_PF_LAUNCH, {IDC_PF_LAUNCH_PATH, IDC_PF_LAUNCH_BROWSE, IDC_PF_LAUNCH_TEST}},
    {IDC_PF_SOUND, {IDC_PF_SOUND_FILE, IDC_PF_SOUND_BROWSE, IDC_PF_SOUND_TEST}},
    {IDC_PF_URL, {IDC_PF_URL_TEXT, IDC_PF_URL_TEST, 0}},
};

}  // namespace

PowerEditDialog::~PowerEditDialog()
{
    join_tests();
}

void PowerEditDialog::join_tests()
{
    sound_worker_.join(INFINITE);
    url_worker_.join(INFINITE);
}

bool PowerEditDialog::on_init()
{
    HWND self = hwnd();
    ui::Edit name(self, IDC_PF_NAME);
    name.set_limit(kMaxEntryText);
    name.set_text(filter_.name.substr(0, kMaxEntryText));
    ui::CheckBox(self, IDC_PF_ENABLED).set_checked(filter_.state == 0);
    for (const ConditionRow& row : kRows) {
        ui::ComboBox combo(self, row.condition);
        combo.add(platform::message_text(MSG_FD_CONTAINS));
        combo.add(platform::message_text(MSG_FD_NOT_CONTAINS));
        combo.select(filter_.*row.how != 0 ? 1 : 0);
        ui::CheckBox(self, row.check).set_checked(filter_.*row.enabled);
        ui::Control(self, row.pattern).set_text(filter_.*row.text);
        ui::CheckBox(self, row.use_case).set_checked(filter_.*row.match_case);
    }
    ui::ComboBox priority(self, IDC_PF_PRIORITY_LEVEL);
    for (auto id : {MSG_FD_PRIORITY_HIGH, MSG_FD_PRIORITY_NORMAL, MSG_FD_PRIORITY_LOW})
        priority.add(platform::message_text(id));
    priority.select(priority_index(filter_.priority));
    ui::CheckBox(self, IDC_PF_PRIORITY).set_checked(filter_.priorityEnabled);

    for (auto [check, edit, spin, low, bytes, set] :
         {std::tuple{IDC_PF_LARGER, IDC_PF_LARGER_KB, IDC_PF_LARGER_SPIN, 0, filter_.upperBound, filter_.upper_set()},
          std::tuple{IDC_PF_SMALLER, IDC_PF_SMALLER_KB, IDC_PF_SMALLER_SPIN, 1, filter_.lowerBound,
                     filter_.lower_set()}}) {
        ui::Edit(self, edit).set_limit(7);
        ui::UpDown(self, spin).set_range(low, kMaxKb);
        ui::Control(self, edit).set_text(bytes >= 0 ? kb_text(bytes) : std::to_string(low));
        ui::CheckBox(self, check).set_checked(set);
    }

    ui::ComboBox mark(self, IDC_PF_MARK);
    for (auto id : {MSG_FD_MARK_UNCERTAIN, MSG_FD_MARK_DELETED, MSG_FD_MARK_FRIENDLY})
        mark.add(platform::message_text(id));
    mark.select(static_cast<int>(filter_.mark()));
    show_mark_icon();

    ui::CheckBox(self, IDC_PF_MAILER).set_checked(filter_.runMailer);
    ui::CheckBox(self, IDC_PF_LAUNCH).set_checked(filter_.launchProgram);
    ui::CheckBox(self, IDC_PF_SOUND).set_checked(filter_.playSound);
    ui::CheckBox(self, IDC_PF_URL).set_checked(filter_.sendMsgToUrl);
    for (int edit : {IDC_PF_LAUNCH_PATH, IDC_PF_SOUND_FILE, IDC_PF_URL_TEXT})
        ui::Edit(self, edit).set_limit(kMaxEntryText);
    ui::Control(self, IDC_PF_LAUNCH_PATH).set_text(filter_.launchProgramPath);
    ui::Control(self, IDC_PF_SOUND_FILE).set_text(filter_.soundFile);
    ui::Control(self, IDC_PF_URL_TEXT).set_text(filter_.urlForSending);
    update();
    return true;
}

bool PowerEditDialog::on_command(int id, int code, HWND)
{
    if (code == EN_CHANGE || code == EN_KILLFOCUS || (code == BN_CLICKED && id != IDOK && id != IDCANCEL)) {
        switch (id) {
        case IDC_PF_LAUNCH_BROWSE:
            browse(IDC_PF_LAUNCH_PATH, true);
            return true;
        case IDC_PF_SOUND_BROWSE:
            browse(IDC_PF_SOUND_FILE, false);
            return true;
        case IDC_PF_LAUNCH_TEST: {
            std::string path = ui::Control(hwnd(), IDC_PF_LAUNCH_PATH).text();
            if (!path.empty() && context_.actions)
                context_.actions->LaunchProgram(path);
            return true;
        }
        case IDC_PF_SOUND_TEST:
            run_test(id, sound_worker_, ui::Control(hwnd(), IDC_PF_SOUND_FILE).text(), false);
            return true;
        case IDC_PF_URL_TEST:
            run_test(id, url_worker_, ui::Control(hwnd(), IDC_PF_URL_TEXT).text(), true);
            return true;
        default:
            update();
            return false;
        }
    }
    if (id == IDC_PF_MARK && code == CBN_SELCHANGE) {
        show_mark_icon();
        return true;
    }
    return false;
}

bool PowerEditDialog::on_message(UINT message, WPARAM wparam, LPARAM, LRESULT& result)
{
    if (message != kTestDone)
        return false;
    int button = static_cast<int>(wparam);
    (button == IDC_PF_SOUND_TEST ? sound_worker_ : url_worker_).join(INFINITE);
    update();
    result = 0;
    return true;
}

void PowerEditDialog::run_test(int button, platform::Thread& worker, std::string argument, bool url)
{
    if (argument.empty() || !context_.actions || worker.running())
        return;
    worker.join(INFINITE);  // a finished one whose end is still queued
    filter::FilterActions* actions = context_.actions;
    HWND self = hwnd();
    if (url)
        argument += kUrlTestQuery;
    ui::Control(self, button).enable(false);
    bool started = worker.start([actions, self, button, argument, url] {
        try {
            if (url)
                actions->SendToUrl(argument);
            else
                actions->PlaySoundFile(argument);
        } catch (...) {
            // A test that fails says nothing, like the action itself.
        }
        PostMessageA(self, kTestDone, static_cast<WPARAM>(button), 0);
    });
    if (!started)
        update();
}

void PowerEditDialog::browse(int edit, bool program)
{
    ui::FileRequest request;
    if (program)
        request.filters = {{platform::message_text(MSG_FD_FILES_EXE), "*.exe"},
                           {platform::message_text(MSG_FD_FILES_BAT), "*.bat"},
                           {platform::message_text(MSG_FD_FILES_ALL), "*.*"}};
    else
        request.filters = {{platform::message_text(MSG_FD_FILES_WAVE), "*.wav"},
                           {platform::message_text(MSG_FD_FILES_ALL), "*.*"}};
    request.initial_path = ui::Control(hwnd(), edit).text();
    if (auto chosen = context_.files->open_file(hwnd(), request))
        ui::Control(hwnd(), edit).set_text(chosen->substr(0, kMaxEntryText));
}

void PowerEditDialog::show_mark_icon()
{
    static const int icons[] = {IDI_MESSAGE_UNCERTAIN, IDI_MESSAGE_DELETED, IDI_MESSAGE_FRIEND};
    int index = ui::ComboBox(hwnd(), IDC_PF_MARK).selection();
    if (index < 0 || index > 2)
        return;
    HANDLE icon = LoadImageA(context_.module, MAKEINTRESOURCEA(icons[index]), IMAGE_ICON, 32, 32, LR_SHARED);
    ui::Control(hwnd(), IDC_PF_MARK_PICTURE).send(STM_SETICON, reinterpret_cast<WPARAM>(icon));
}

void PowerEditDialog::update()
{
    HWND self = hwnd();
    auto checked = [self](int id) { return ui::CheckBox(self, id).is_checked(); };
    bool any_condition = checked(IDC_PF_PRIORITY);
    for (const ConditionRow& row : kRows) {
        bool on = checked(row.check);
        any_condition = any_condition || on;
        for (int id : {row.condition, row.pattern, row.use_case})
            ui::Control(self, id).enable(on);
    }
    ui::Control(self, IDC_PF_PRIORITY_LEVEL).enable(checked(IDC_PF_PRIORITY));
    for (auto [check, edit, spin] : {std::tuple{IDC_PF_LARGER, IDC_PF_LARGER_KB, IDC_PF_LARGER_SPIN},
                                     std::tuple{IDC_PF_SMALLER, IDC_PF_SMALLER_KB, IDC_PF_SMALLER_SPIN}}) {
        ui::Control(self, edit).enable(checked(check));
        ui::Control(self, spin).enable(checked(check));
    }
    for (const ActionRow& row : kActions)
        for (int id : row.controls)
            if (id)
                ui::Control(self, id).enable(checked(row.check));
    if (sound_worker_.running())
        ui::Control(self, IDC_PF_SOUND_TEST).enable(false);
    if (url_worker_.running())
        ui::Control(self, IDC_PF_URL_TEST).enable(false);

    BoundField larger{checked(IDC_PF_LARGER), ui::Control(self, IDC_PF_LARGER_KB).text()};
    BoundField smaller{checked(IDC_PF_SMALLER), ui::Control(self, IDC_PF_SMALLER_KB).text()};
    bool named = !ui::Control(self, IDC_PF_NAME).text().empty();
    bool ok = named && bounds_acceptable(larger, smaller, false) &&
              (any_condition || bounds_usable(larger, smaller));
    ui::Control(self, IDOK).enable(ok);
}

void PowerEditDialog::on_ok()
{
    update();
    if (!ui::Control(hwnd(), IDOK).is_enabled())
        return;
    HWND self = hwnd();
    auto checked = [self](int id) { return ui::CheckBox(self, id).is_checked(); };
    filter::PowerFilter& f = filter_;
    f.name = ui::Control(self, IDC_PF_NAME).text().substr(0, kMaxEntryText);
    f.state = checked(IDC_PF_ENABLED) ? 0 : 1;
    for (const ConditionRow& row : kRows) {
        f.*row.enabled = checked(row.check);
        f.*row.how = ui::ComboBox(self, row.condition).selection() == 1 ? 1 : 0;
        f.*row.text = ui::Control(self, row.pattern).text();
        f.*row.match_case = checked(row.use_case);
    }
    f.priorityEnabled = checked(IDC_PF_PRIORITY);
    f.priority = priority_from_index(ui::ComboBox(self, IDC_PF_PRIORITY_LEVEL).selection());
    Bounds bounds = bounds_from({checked(IDC_PF_LARGER), ui::Control(self, IDC_PF_LARGER_KB).text()},
                                {checked(IDC_PF_SMALLER), ui::Control(self, IDC_PF_SMALLER_KB).text()});
    f.upperBound = bounds.upper;
    f.lowerBound = bounds.lower;
    int mark = ui::ComboBox(self, IDC_PF_MARK).selection();
    f.set_mark(mark == 2 ? filter::PowerMark::friendly
                         : mark == 1 ? filter::PowerMark::deleted : filter::PowerMark::uncertain);
    f.runMailer = checked(IDC_PF_MAILER);
    f.launchProgram = checked(IDC_PF_LAUNCH);
    f.launchProgramPath = ui::Control(self, IDC_PF_LAUNCH_PATH).text();
    f.playSound = checked(IDC_PF_SOUND);
    f.soundFile = ui::Control(self, IDC_PF_SOUND_FILE).text();
    f.sendMsgToUrl = checked(IDC_PF_URL);
    f.urlForSending = ui::Control(self, IDC_PF_URL_TEXT).text();
    end(IDOK);
}

bool edit_power(HWND owner, const DialogContext& context, filter::PowerFilter& filter)
{
    PowerEditDialog dialog(context, filter);
    return dialog.run_modal({context.module, IDD_POWER_EDIT, owner}) == IDOK;
}

}  // namespace kivo::filter_dialogs

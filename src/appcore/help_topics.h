#pragma once
// The help file and the topics the program opens in it. The help sources
// (resources/help) must hold every one of these; the help_contents test
// compiles the file and checks it against this list, so a topic renamed on
// one side only fails the build's tests rather than opening a blank page.

namespace kivo::help {

// The compiled help file, beside the executable.
inline constexpr char kFile[] = "kivo.chm";

// Help menu "Contents", F1 (WM_HELP).
inline constexpr char kStartPage[] = "::/index.htm";

// The Settings sheet's Help button, by tab: System, Sound, Visual effects,
// Customize, Log (a Help button that does nothing on one tab would look
// broken, and the settings page has a section on the log).
inline constexpr char kSettingsSystem[] = "::/settings.htm#system";
inline constexpr char kSettingsSound[] = "::/settings.htm#sound";
inline constexpr char kSettingsVisual[] = "::/settings.htm#visual";
inline constexpr char kSettingsCustomize[] = "::/settings.htm#customize";
inline constexpr char kSettingsLog[] = "::/settings.htm#log";

// The word entry dialog's Help button.
inline constexpr char kFiltration[] = "::/email_filtration.htm";

// The Email Filter sheet's Help button: the From, Subject, To/Cc and
// Spammers tabs have a section each; the other tabs open the page itself.
inline constexpr char kFromFilter[] = "::/email_filtration.htm#from_filter";
inline constexpr char kSubjectFilter[] = "::/email_filtration.htm#subject_filter";
inline constexpr char kToCcFilter[] = "::/email_filtration.htm#tocc_filter";
inline constexpr char kSpammersList[] = "::/email_filtration.htm#spammers_list";

// The sheets' topics in tab order (Power, Friends, From, Subject, To/Cc,
// Spammers, Size for the filters).
inline constexpr const char* kSettingsTabs[] = {kSettingsSystem, kSettingsSound, kSettingsVisual,
                                                kSettingsCustomize, kSettingsLog};
inline constexpr const char* kFilterTabs[] = {kFiltration,     kFiltration,  kFromFilter, kSubjectFilter,
                                              kToCcFilter, kSpammersList, kFiltration};

}  // namespace kivo::help

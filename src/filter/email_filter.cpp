#include "filter/email_filter.h"

#include "filter/list_file.h"
#include "filter/power_file.h"
#include "platform/program_folder.h"

namespace kivo::filter {

const char* stage_name(ClassifyStage stage)
{
    switch (stage) {
    case ClassifyStage::none:
        return "none";
    case ClassifyStage::friends:
        return "friends";
    case ClassifyStage::from:
        return "from";
    case ClassifyStage::subject:
        return "subject";
    case ClassifyStage::spammers:
        return "spammers";
    case ClassifyStage::toCc:
        return "tocc";
    case ClassifyStage::size:
        return "size";
    case ClassifyStage::skipped:
        return "skipped";
    }
    return "none";
}

EmailFilter::EmailFilter(FilterActions& owner, ErrorReporter& reporter, EmailFilterConfig config)
    : folder_(config.folder.empty() ? platform::program_folder() : config.folder),
      reporter_(reporter),
      useRegistry_(config.useRegistry),
      lock_(config.lockTimeoutMs),
      owner_(owner)
{
    LoadLists();
}

void EmailFilter::LoadLists()
{
    fromList_ = load_list_file<WordFilter>(file_path(kFromFileName), reporter_);
    subjectList_ = load_list_file<WordFilter>(file_path(kSubjectFileName), reporter_);
    toCcList_ = load_list_file<WordFilter>(file_path(kToCcFileName), reporter_);
    sizeList_ = load_list_file<SizeFilter>(file_path(kSizeFileName), reporter_);
    powerList_ = LoadPowerFilters(folder_);
    if (useRegistry_)
        LoadSwitches(switches_);
    spammers_ = address_keys(ReadAddresses(file_path(kSpammersFileName)));
    friends_ = address_keys(ReadAddresses(file_path(kFriendsFileName)));
}

}  // namespace kivo::filter

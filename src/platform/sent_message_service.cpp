#include "platform/sync.h"

namespace kivo::platform {
namespace {
thread_local int service_depth = 0;
}

SentMessageService::SentMessageService() { ++service_depth; }
SentMessageService::~SentMessageService() { --service_depth; }
bool SentMessageService::active() { return service_depth > 0; }

}  // namespace kivo::platform

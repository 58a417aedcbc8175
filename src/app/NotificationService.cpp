#include "NotificationService.h"

namespace joulemap {

NotificationService::NotificationService(QObject* parent) : QObject(parent) {}

NotificationService::~NotificationService() = default;

}  // namespace joulemap

#include "gamepad/controller_search.h"

bool ControllerSearchSchedule::TickIsDue() {
  searchedSinceTick_ = false;
  if (ticksUntilSearch_ > 1) {
    --ticksUntilSearch_;
    return false;
  }
  return true;
}

void ControllerSearchSchedule::Searched() {
  searchedSinceTick_ = true;
  ticksUntilSearch_ = nextRetry_ < RetryCount ? ArrivalRetryPeriods[nextRetry_++] : SafetySearchPeriod;
}

void ControllerSearchSchedule::DeviceArrived() {
  ticksUntilSearch_ = 1;
  nextRetry_ = 0;
}

void ControllerSearchSchedule::DialogActivated() {
  if (!searchedSinceTick_) ticksUntilSearch_ = 1;
}

void ControllerSearchSchedule::ControllerReleased() {
  ticksUntilSearch_ = readSinceOpened_ ? 1 : SafetySearchPeriod;
}

void ControllerSearchSchedule::ControllerOpened() {
  nextRetry_ = RetryCount;
  readSinceOpened_ = false;
}

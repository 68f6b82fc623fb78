// When to look for a newly attached controller while none is open.
//
// Enumerating the attached game controllers is slow (about 13 ms under Wine,
// 15 to 70 ms and sometimes far more on Windows), and the gamepad dialog's only
// thread polls on a 16 ms timer, so it must not enumerate on every tick.
// Windows announces a new HID device with WM_DEVICECHANGE; the announcement
// only makes a search due, and the next timer tick with no controller open
// runs it. Some drivers announce the device before DirectInput lists it, so a
// few retries follow over the next seconds. A slow safety search covers
// systems that announce nothing, and activating the dialog asks for one more.
//
// Everything is counted in timer ticks (16 ms each; longer where the system's
// timer is coarser), so the schedule needs no clock.
#pragma once

#include <cstddef>
#include <iterator>

class ControllerSearchSchedule {
 public:
  // Ticks between the searches that follow an announcement: the first runs
  // on the next tick, then about 0.5 s, 1 s and 2 s apart.
  static constexpr int ArrivalRetryPeriods[] = {31, 63, 125};
  // Ticks between safety searches: about 4 s.
  static constexpr int SafetySearchPeriod = 250;

  // A tick with no controller open: true when it is to search now.
  bool TickIsDue();
  // A search has just run (whatever it found).
  void Searched();
  // Windows announced a new device.
  void DeviceArrived();
  // The dialog became active: search on the next tick, unless a search has
  // run since the last tick (the dialog's first activation right after its
  // opening search).
  void DialogActivated();
  // The open controller was given up. One that was read from was unplugged:
  // look for another one on the next tick. One given up before any read
  // would be found and given up again on every other tick, each search
  // costing most of a tick: it waits for the safety search or an
  // announcement.
  void ControllerReleased();
  // A controller is open: retries for an earlier announcement are moot.
  void ControllerOpened();
  // The open controller's state has been read.
  void ControllerRead() { readSinceOpened_ = true; }

 private:
  static constexpr std::size_t RetryCount = std::size(ArrivalRetryPeriods);

  int ticksUntilSearch_ = 1;  // 1: on the next tick
  std::size_t nextRetry_ = RetryCount;
  bool searchedSinceTick_ = false;
  bool readSinceOpened_ = false;
};

#pragma once
// The screen-wide mouse pointer. An hourglass is shown while a BusyPointer lives, so it is
// always balanced, whatever path the work takes out (a message box, an error, a hand-off).

class BusyPointer {
public:
  BusyPointer();
  ~BusyPointer();
  // Back to the normal pointer before the end of the scope.
  void release();
  BusyPointer(const BusyPointer &) = delete;
  BusyPointer &operator=(const BusyPointer &) = delete;

private:
  bool active_ = false;
};

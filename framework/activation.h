#pragma once

#include "win_handles.h"

namespace memotab {

// Whether the activation can be handed to a window: a shown, enabled one that does not
// refuse it (a figure or a note that only shows never takes it).
bool TakesActivation(HWND window);

// Whether this thread's keyboard focus is where a person types: in an edit control (a note's
// editor, a dialog's field) or anywhere in a dialog, where Enter, Escape and space act too.
// A window that takes the activation now would take the next of those keys unseen.
bool KeyboardInUse();

// The window of this thread to activate in place of one that must not keep or take the
// activation (`excluded`): `wanted` when it takes activation, else its nearest owner that
// does, else the topmost window of the thread that does; null when there is none.
HWND WindowToActivateInstead(HWND wanted, HWND excluded);

// Whether a press of a mouse button on a window of this thread that takes the activation
// waits in the thread's queue: that click will activate its window once it is taken, so
// nothing should be activated in its place meanwhile.
bool ActivatingClickWaiting();

// A window of this thread to activate again and the focus inside it, kept while something
// else holds the activation for a moment (a popup menu that needs the foreground, a modal
// window, a window the system activated against its will).
class ActivationToGiveBack {
 public:
  ActivationToGiveBack() = default;
  // The focus is kept only when it lies inside the window.
  ActivationToGiveBack(HWND active, HWND focus);
  // The window active in this thread now, and its focus.
  static ActivationToGiveBack Current();

  HWND Active() const { return active_; }
  // Activates the window again when it still takes activation; false when it does not.
  bool Activate() const;
  // Gives the focus back inside the window, when it is the active one.
  void RestoreFocus() const;

 private:
  HWND active_ = nullptr;
  HWND focus_ = nullptr;
};

}  // namespace memotab

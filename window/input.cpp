// input.cpp — keys and mouse. SDL events are read on the calling (main) thread inside these
// calls and inside PresentFrame; keys are reported by PC scan code set 1, with the extended
// (E0-prefixed) keys at 0x80 + their code, and queued as texts for ReadKey.
#include "window.h"

#include "runtime_state.h"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

using namespace window_runtime;

namespace {

constexpr std::size_t kMaxPendingKeys = 256;  // beyond this, new keys are dropped
constexpr char kCloseRequestCode = 'k';       // second byte of the close-request text

// SDL scancode (USB usage) -> PC scan code set 1; 0 where the key has no set-1 code.
constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> MakeSetOneTable() {
  std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
  const auto set = [&t](SDL_Scancode s, int code) { t[s] = static_cast<std::uint8_t>(code); };
  // Letters: a..z in USB order are not in set-1 order, so list them.
  constexpr std::uint8_t kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                         0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                         0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = kLetters[i];
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_1 + i] = static_cast<std::uint8_t>(0x02 + i);
  set(SDL_SCANCODE_0, 0x0B);
  set(SDL_SCANCODE_RETURN, 0x1C);
  set(SDL_SCANCODE_ESCAPE, 0x01);
  set(SDL_SCANCODE_BACKSPACE, 0x0E);
  set(SDL_SCANCODE_TAB, 0x0F);
  set(SDL_SCANCODE_SPACE, 0x39);
  set(SDL_SCANCODE_MINUS, 0x0C);
  set(SDL_SCANCODE_EQUALS, 0x0D);
  set(SDL_SCANCODE_LEFTBRACKET, 0x1A);
  set(SDL_SCANCODE_RIGHTBRACKET, 0x1B);
  set(SDL_SCANCODE_BACKSLASH, 0x2B);
  set(SDL_SCANCODE_NONUSHASH, 0x2B);
  set(SDL_SCANCODE_SEMICOLON, 0x27);
  set(SDL_SCANCODE_APOSTROPHE, 0x28);
  set(SDL_SCANCODE_GRAVE, 0x29);
  set(SDL_SCANCODE_COMMA, 0x33);
  set(SDL_SCANCODE_PERIOD, 0x34);
  set(SDL_SCANCODE_SLASH, 0x35);
  set(SDL_SCANCODE_CAPSLOCK, 0x3A);
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<std::uint8_t>(0x3B + i);
  set(SDL_SCANCODE_F11, 0x57);
  set(SDL_SCANCODE_F12, 0x58);
  set(SDL_SCANCODE_PRINTSCREEN, 0xB7);
  set(SDL_SCANCODE_SCROLLLOCK, 0x46);
  set(SDL_SCANCODE_PAUSE, 0xC5);
  set(SDL_SCANCODE_INSERT, 0xD2);
  set(SDL_SCANCODE_HOME, 0xC7);
  set(SDL_SCANCODE_PAGEUP, 0xC9);
  set(SDL_SCANCODE_DELETE, 0xD3);
  set(SDL_SCANCODE_END, 0xCF);
  set(SDL_SCANCODE_PAGEDOWN, 0xD1);
  set(SDL_SCANCODE_RIGHT, 0xCD);
  set(SDL_SCANCODE_LEFT, 0xCB);
  set(SDL_SCANCODE_DOWN, 0xD0);
  set(SDL_SCANCODE_UP, 0xC8);
  set(SDL_SCANCODE_NUMLOCKCLEAR, 0x45);
  set(SDL_SCANCODE_KP_DIVIDE, 0xB5);
  set(SDL_SCANCODE_KP_MULTIPLY, 0x37);
  set(SDL_SCANCODE_KP_MINUS, 0x4A);
  set(SDL_SCANCODE_KP_PLUS, 0x4E);
  set(SDL_SCANCODE_KP_ENTER, 0x9C);
  constexpr std::uint8_t kKeypad[9] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_KP_1 + i] = kKeypad[i];
  set(SDL_SCANCODE_KP_0, 0x52);
  set(SDL_SCANCODE_KP_PERIOD, 0x53);
  set(SDL_SCANCODE_NONUSBACKSLASH, 0x56);
  set(SDL_SCANCODE_APPLICATION, 0xDD);
  set(SDL_SCANCODE_LCTRL, 0x1D);
  set(SDL_SCANCODE_LSHIFT, 0x2A);
  set(SDL_SCANCODE_LALT, 0x38);
  set(SDL_SCANCODE_LGUI, 0xDB);
  set(SDL_SCANCODE_RCTRL, 0x9D);
  set(SDL_SCANCODE_RSHIFT, 0x36);
  set(SDL_SCANCODE_RALT, 0xB8);
  set(SDL_SCANCODE_RGUI, 0xDC);
  return t;
}
constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> kSetOne = MakeSetOneTable();

int SetOneCode(SDL_Scancode scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return kSetOne[static_cast<std::size_t>(scancode)];
}

// The character a key types on a US layout, or 0 when it types none.
char KeyCharacter(const SDL_Keysym& key) {
  const bool shift = (key.mod & KMOD_SHIFT) != 0;
  const bool caps = (key.mod & KMOD_CAPS) != 0;
  const bool numlock = (key.mod & KMOD_NUM) != 0;
  const SDL_Keycode sym = key.sym;
  switch (sym) {
    case SDLK_ESCAPE:
      return 27;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return '\r';
    case SDLK_BACKSPACE:
      return '\b';
    case SDLK_TAB:
      return '\t';
    case SDLK_KP_DIVIDE:
      return '/';
    case SDLK_KP_MULTIPLY:
      return '*';
    case SDLK_KP_MINUS:
      return '-';
    case SDLK_KP_PLUS:
      return '+';
    default:
      break;
  }
  if (numlock) {
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return static_cast<char>('1' + (sym - SDLK_KP_1));
    if (sym == SDLK_KP_0) return '0';
    if (sym == SDLK_KP_PERIOD) return '.';
  }
  if (sym >= 'a' && sym <= 'z') return static_cast<char>(shift != caps ? sym - 'a' + 'A' : sym);
  if (sym < 0x20 || sym > 0x7E) return 0;
  if (!shift) return static_cast<char>(sym);
  constexpr std::string_view kPlain = "1234567890-=[]\\;',./`";
  constexpr std::string_view kShifted = "!@#$%^&*()_+{}|:\"<>?~";
  const std::size_t at = kPlain.find(static_cast<char>(sym));
  return at == std::string_view::npos ? static_cast<char>(sym) : kShifted[at];
}

bool IsModifierOrLock(SDL_Scancode s) {
  return (s >= SDL_SCANCODE_LCTRL && s <= SDL_SCANCODE_RGUI) || s == SDL_SCANCODE_CAPSLOCK ||
         s == SDL_SCANCODE_NUMLOCKCLEAR || s == SDL_SCANCODE_SCROLLLOCK || s == SDL_SCANCODE_MODE;
}

void QueueKey(std::string text) {
  auto& queue = State().pending_keys;
  if (queue.size() < kMaxPendingKeys) queue.push_back(std::move(text));
}

void OnKey(const SDL_KeyboardEvent& event) {
  RuntimeState& state = State();
  const int code = SetOneCode(event.keysym.scancode);
  if (event.type == SDL_KEYUP) {
    if (code != 0) state.key_down[static_cast<std::size_t>(code)] = false;
    return;
  }
  if (code != 0) state.key_down[static_cast<std::size_t>(code)] = true;
  // Modifiers and lock keys are held, not typed: they show in IsKeyDown but queue nothing.
  if (IsModifierOrLock(event.keysym.scancode)) return;
  if (const char ch = KeyCharacter(event.keysym); ch != 0) {
    QueueKey(std::string(1, ch));
  } else if (code != 0) {
    QueueKey(std::string{'\xff', static_cast<char>(code)});
  }
}

bool HasFocus() {
  const RuntimeState& state = State();
  return state.window != nullptr &&
         (SDL_GetWindowFlags(state.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

}  // namespace

void window_runtime::ResetInput() {
  RuntimeState& state = State();
  state.key_down.fill(false);
  state.pending_keys.clear();
  state.wheel = 0;
}

void window_runtime::PumpEvents() {
  RuntimeState& state = State();
  if (!state.video_ready) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        OnKey(event.key);
        break;
      case SDL_MOUSEWHEEL:
        state.wheel +=
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          // The window manager asks the window to close: a key for the program to read, never
          // an end by itself.
          QueueKey(std::string{'\xff', kCloseRequestCode});
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          state.key_down.fill(false);  // releases while unfocused would never arrive
        }
        break;
      default:
        break;  // SDL_QUIT follows the close of the last window; the close event covers it
    }
  }
}

int IsKeyDown(int scancode) {
  PumpEvents();
  if (scancode < 0 || scancode > 255) return 0;
  return State().key_down[static_cast<std::size_t>(scancode)] ? 1 : 0;
}

std::string ReadKey() {
  PumpEvents();
  auto& queue = State().pending_keys;
  if (queue.empty()) return "";
  std::string key = std::move(queue.front());
  queue.pop_front();
  return key;
}

int GetMouseState(int* x, int* y, int* wheel, int* buttons, int* confined) {
  PumpEvents();
  RuntimeState& state = State();
  int px = 0;
  int py = 0;
  const Uint32 mask = state.window != nullptr ? SDL_GetMouseState(&px, &py) : 0;
  const bool inside = state.window != nullptr && SDL_GetMouseFocus() == state.window && px >= 0 &&
                      py >= 0 && px < state.width && py < state.height;
  if (!HasFocus() || !inside) {
    for (int* out : {x, y, wheel, buttons, confined}) {
      if (out) *out = -1;
    }
    return 1;
  }
  int pressed = 0;
  if (mask & SDL_BUTTON_LMASK) pressed |= 1;
  if (mask & SDL_BUTTON_RMASK) pressed |= 2;
  if (mask & SDL_BUTTON_MMASK) pressed |= 4;
  if (x) *x = px;
  if (y) *y = py;
  if (wheel) *wheel = state.wheel;
  if (buttons) *buttons = pressed;
  if (confined) *confined = state.confined ? 1 : 0;
  return 0;
}

void SetMouseState(int x, int y, int visible, int confine) {
  PumpEvents();
  RuntimeState& state = State();
  if (state.window == nullptr) return;
  if (visible == 0 || visible == 1) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  if (confine == 0 || confine == 1) {
    SDL_SetWindowGrab(state.window, confine ? SDL_TRUE : SDL_FALSE);
    state.confined = confine == 1;
  }
  if (x != -1 && y != -1 && HasFocus()) {
    SDL_WarpMouseInWindow(state.window, x, y);
    PumpEvents();
  }
}

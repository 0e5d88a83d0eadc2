// Input.h -- what the rules read from the keyboard and mouse each frame, without a window system.
#pragma once

// Key codes (the window system's own numbering; the platform layer checks they match).
namespace Key {
constexpr int Space = 32;
constexpr int Num1 = 49;  // the digit keys above the letters
constexpr int Num2 = 50;
constexpr int Num3 = 51;
constexpr int Num4 = 52;
constexpr int Num5 = 53;
constexpr int A = 65;
constexpr int C = 67;
constexpr int D = 68;
constexpr int F = 70;
constexpr int H = 72;
constexpr int P = 80;
constexpr int S = 83;
constexpr int W = 87;
constexpr int Escape = 256;
constexpr int Right = 262;
constexpr int Left = 263;
constexpr int Down = 264;
constexpr int Up = 265;
constexpr int F1 = 290;
constexpr int F2 = 291;
constexpr int F3 = 292;
constexpr int F4 = 293;
constexpr int F5 = 294;
constexpr int F6 = 295;
constexpr int F7 = 296;
constexpr int F8 = 297;
constexpr int F9 = 298;
constexpr int F10 = 299;
constexpr int F11 = 300;
constexpr int Keypad0 = 320;
constexpr int KeypadSubtract = 333;
constexpr int KeypadAdd = 334;
constexpr int LeftControl = 341;
constexpr int RightControl = 345;
}  // namespace Key

// Mouse buttons (the window system's own numbering, checked by the platform layer like the keys).
namespace MouseButton {
constexpr int Left = 0;
constexpr int Right = 1;
}  // namespace MouseButton

struct MousePosition {
    int x = 0;
    int y = 0;  // pixels, growing downward
};

// Polled input. The default answers as if no window were open: every key released, wheel at 0.
class Input {
public:
    virtual ~Input() = default;
    // True when the key is down, or was pressed since the last query (sticky keys; the query consumes it).
    virtual bool keyDown(int /*key*/) { return false; }
    // Absolute wheel position in notches since start.
    virtual int wheelPosition() { return 0; }
    // Cursor position in framebuffer pixels, y downward.
    virtual MousePosition cursor() { return MousePosition{}; }
};

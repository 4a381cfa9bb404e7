#pragma once

class QEvent;

// The key filter of the inputs that hold a fiscal code or a VAT number: a key
// press passes when it is Enter, Backspace, Delete, Left or Right, or types an
// allowed character; any other is swallowed whole, key and character, Tab,
// Home, End and blanks included. The clipboard and undo shortcuts also pass:
// text that arrives by pasting is the caller's to tidy.
namespace clinora::keys {

enum class Allowed {
    Alphanumeric, // 0-9, A-Z, a-z
    Digits,       // 0-9
};

// True when `event` is a key press the filter swallows.
bool swallow(const QEvent *event, Allowed allowed);

} // namespace clinora::keys

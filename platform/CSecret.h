#pragma once

#include <string>
#include <string_view>

// A secret that proves who the user is: a password, or a token given in its place. It overwrites
// its bytes when it goes and when it is given another value, and it is never copied by accident:
// it moves, and a second copy is made only by copy(), which a reader can find.
class CSecret {
public:
    enum class Kind { Password, Token };

    CSecret() = default;
    // Takes the text's bytes and overwrites what is left in the text (a short text is copied out
    // of the string's own room, not moved).
    explicit CSecret(std::string&& text, Kind kind = Kind::Password);
    explicit CSecret(const char* text, Kind kind = Kind::Password)
        : CSecret(std::string(text), kind) {}
    ~CSecret() { wipe(bytes_); }
    CSecret(CSecret&& other) noexcept;
    CSecret& operator=(CSecret&& other) noexcept;
    CSecret(const CSecret&) = delete;
    CSecret& operator=(const CSecret&) = delete;

    // A second copy, for one that must outlive this one's use (a login while the window keeps
    // the last connect's password for its reconnects).
    CSecret copy() const;
    std::string_view view() const { return bytes_; }
    bool empty() const { return bytes_.empty(); }
    Kind kind() const { return kind_; }
    // Overwrites its bytes now and holds nothing.
    void clear() { wipe(bytes_); }

    // Overwrites every byte the text holds, its unused room included, and empties it. For lines
    // built from a secret (a "PASS" command, an AUTH line), once they are sent.
    static void wipe(std::string& text);

private:
    std::string bytes_;
    Kind kind_ = Kind::Password;
};

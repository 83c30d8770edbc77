// DialogAction.h - one action of a session script's dialog line, as the dialog robot performs it
// ("type 12002 7.25", "click 12033", "key enter", "ok"). Read without Qt, so that every build
// of velhost refuses the same bad actions before anything runs.
#pragma once

#include <string>

namespace vel {

struct DialogAction {
    enum class Kind { Type, Click, DblClick, Choose, Key, Ok, Cancel, Close, Shot };
    enum class Key { Enter, Escape, Space, Tab };
    Kind kind = Kind::Ok;
    int id = 0;            // type, click, dblclick, choose: the control's id
    int index = 0;         // choose: the entry
    Key key = Key::Enter;  // key: the key pressed
    std::string text;      // type: the new text; shot: the file
    std::string source;    // the action as written
};

// Parses one action of a dialog line ("type 12002 7.25", "key enter", "shot a.png").
// False with a message in `error` when it is not an action.
bool parseDialogAction(const std::string& text, DialogAction& action, std::string& error);

}  // namespace vel

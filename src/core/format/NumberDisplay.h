// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NumberForm.h"

#include <optional>

// What a display that toggles between hexadecimal and decimal holds: a value and the base it
// is shown in. The text is always made from the value; a click converts the value on show,
// never the text. Every display starts in hexadecimal and keeps its base across files.
class NumberDisplay {
public:
    enum class Form {
        Word,        // "$" and four digits: the header words
        Plain,       // "$" and the digits without leading zeros: the status panels
        PlainAsRead, // ORG: plain as the header gives it, four digits once a click converts it
    };

    explicit NumberDisplay(Form form = Form::Plain) : m_form(form) {}

    NumberForm::Base base() const { return m_base; }
    QString text() const;

    // Shows `value` in the display's own form.
    void show(int value);
    // The "0" a cleared header box shows, whatever its base.
    void showZero();
    // Nothing on show.
    void clear();
    // Flips the base and converts what is on show; a converted "0" shows as a value.
    void toggle();

private:
    enum class Shown { Nothing, Zero, Value };

    Form m_form;
    NumberForm::Base m_base = NumberForm::Base::Hex;
    Shown m_shown = Shown::Nothing;
    bool m_converted = false;
    int m_value = 0;
};

#pragma once

#include <string>
#include <vector>

// A message about a show file put before the operator: an English phrase of the language files
// with places "%1", "%2", ... for names and reasons. The screen gets it in the language of the
// interface, the log in English, so that the log reads the same whoever sat at the desk.
class CShowMessage
{
public:
    explicit CShowMessage(const char* phrase) : m_phrase(phrase) {}

    // A name or number from the data: shown as it stands.
    CShowMessage& With(const std::string& value);
    // A phrase of the language files: translated on the screen.
    CShowMessage& WithPhrase(const std::string& phrase);
    // Why the file system refused, as a phrase ("the disk is full"); the log keeps the system's
    // own words as well.
    CShowMessage& WithSystemError(int error);
    // Said in the log only, after the message: "(Error reading end tag.)".
    CShowMessage& WithDetail(const std::string& detail);

    // In the interface's language.
    std::string Shown() const;
    // In English, with the details.
    std::string Logged() const;
    // The show or file the message names: the value given first (its "%1"), empty when the
    // message names none. A notice keeps it on screen whatever else of the message gives way.
    std::string Name() const;

private:
    struct CPart
    {
        std::string text;
        std::string logged;  // the text in the log
        bool translate;
    };
    std::string m_phrase;
    std::vector<CPart> m_values;
    std::string m_detail;
};

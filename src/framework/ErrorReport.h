#pragma once

#include <QString>
#include <exception>
#include <functional>

// The standard error report: a message box with the application title as caption, the error
// icon and an OK button, showing the error's message. The program goes on afterwards.

// The text the report shows: the message with "." appended when its last character sorts
// after "." (compared by code).
QString errorReportText(const QString& message);

void reportException(const std::exception& error);
// For anything thrown that is not a std::exception.
void reportUnknownException();

// Runs the action; an exception is reported and swallowed. False when one was reported.
bool runGuarded(const std::function<void()>& action);

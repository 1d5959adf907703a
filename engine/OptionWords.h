#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The command-line words of the tools: options with their values, and the
// other words, such as the photographs or the output directory.

// Takes one option, value empty for a flag; false with error when it cannot.
using TakeOption = std::function<bool(const QString& name, const QString& value, QString& error)>;

// Walks words in order. A word that starts with "--" is an option: one of
// flags stands alone, any other takes a value as "--name value" or
// "--name=value". Any other word is appended to others. Requires: takeOption
// callable. Ensures: the first error, which stops the walk: "NAME needs a
// value" for an option without one, "FLAG takes no value" for "FLAG=value",
// "unexpected argument WORD" for another word when others is null, or what
// takeOption said; empty when every word was taken.
QString readOptionWords(const QStringList& words, const QStringList& flags,
                        const TakeOption& takeOption, QStringList* others);

// Reads value as a number from least to most, in the C locale whatever the
// user's. Ensures: number set and true, or number untouched, false and error
// "NAME takes a number from LEAST to MOST, not VALUE".
bool readNumber(const QString& name, const QString& value, double least, double most,
                double& number, QString& error);

// The same for a whole number, with error
// "NAME takes a whole number from LEAST to MOST, not VALUE".
bool readWholeNumber(const QString& name, const QString& value, int least, int most, int& number,
                     QString& error);

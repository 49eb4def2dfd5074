// The texts the print commands show. Sentences are joined with two carriage returns.
#pragma once

#include <QString>

namespace Messages {

inline const QString kNotActive =
    QStringLiteral("Please click once on the window you wish to print from to make it active.");
inline const QString kNothingSelected = QStringLiteral(
    "Whoops, nothing appears to be selected.\r\rIf you have selected text in your active "
    "application and you are getting this message, it's possible Tapsel doesn't work with that "
    "program.");
inline const QString kNoTextSelected = QStringLiteral(
    "Whoops, no text appears to be selected.\r\rIf you have selected text in your active "
    "application and you are getting this message, it's possible Tapsel doesn't work with that "
    "program.");
inline const QString kSameMaterialPrefix = QStringLiteral(
    "It appears that you are printing the same material that was in your last print job or you "
    "haven't selected the text you wish to print.\r\r");
// The stamped and note commands' form.
inline const QString kSameMaterialClickAgain =
    kSameMaterialPrefix
    + QStringLiteral("In either case, please be sure the text you want to print is selected, "
                     "and then click the Tapsel button again.");
// The timer-driven commands' form.
inline const QString kSameMaterialTryAgain =
    kSameMaterialPrefix
    + QStringLiteral("In either case, please be sure the text you want to print is selected "
                     "and then try again.");

inline const QString kSentinel = QStringLiteral("1");

} // namespace Messages

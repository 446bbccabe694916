#include "catalogue/unitrecord.h"

namespace quantaro {

QString cutText(QStringView text, qsizetype maxLength)
{
    if (text.size() <= maxLength) {
        return text.toString();
    }
    qsizetype length = maxLength;
    // A cut between the two halves of a surrogate pair would leave an unpaired half behind.
    if (length > 0 && text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.first(length).toString();
}

} // namespace quantaro

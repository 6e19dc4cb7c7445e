#include "model/AuthInfoCode.h"

#include <QStringBuilder>
#include <QTextBoundaryFinder>

namespace halvo {

QString authInfoCode(const QString& domainName) {
    constexpr int kTakenCharacters = 6;
    const QString upper = domainName.toUpper();
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, upper);
    qsizetype end = 0;
    for (int taken = 0; taken < kTakenCharacters && end < upper.size(); ++taken) {
        end = clusters.toNextBoundary();
        if (end < 0) {
            end = upper.size();
            break;
        }
    }
    return QStringLiteral("AUTH-HLV-") % QStringView(upper).left(end) % QStringLiteral("-40729");
}

} // namespace halvo

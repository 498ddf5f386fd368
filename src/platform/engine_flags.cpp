#include "platform/engine_flags.h"

#include <QList>

namespace sorvo::platform {

QByteArray withEngineFeatureDisabled(const QByteArray& flags, const QByteArray& feature) {
    const QByteArray option = QByteArrayLiteral("--disable-features=");
    QList<QByteArray> words = flags.simplified().split(' ');
    words.removeAll(QByteArray());
    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        if (!word->startsWith(option)) continue;
        const QList<QByteArray> features = word->mid(option.size()).split(',');
        if (!features.contains(feature))
            *word += (word->size() > option.size() ? "," : "") + feature;
        return words.join(' ');
    }
    words.append(option + feature);
    return words.join(' ');
}

} // namespace sorvo::platform

#include "util/FileCipher.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>

namespace korvel {

QByteArray cryptFileData(const QByteArray& data)
{
    static constexpr char kPassPhrase[] = {'q', 'k', 'd'};

    uint8_t key[MD5_DIGEST_SIZE];
    md5_ctx hash;
    md5_init(&hash);
    md5_update(&hash, sizeof kPassPhrase, reinterpret_cast<const uint8_t*>(kPassPhrase));
    md5_digest(&hash, sizeof key, key);

    arcfour_ctx cipher;
    arcfour_set_key(&cipher, sizeof key, key);
    QByteArray output(data.size(), Qt::Uninitialized);
    arcfour_crypt(&cipher, static_cast<size_t>(data.size()), reinterpret_cast<uint8_t*>(output.data()),
                  reinterpret_cast<const uint8_t*>(data.constData()));
    return output;
}

} // namespace korvel

#include "library/Sha256.h"

#include <openssl/evp.h>

namespace arvexhub::launcher {

struct Sha256::Context {
  EVP_MD_CTX* digest{EVP_MD_CTX_new()};
  ~Context() {
    EVP_MD_CTX_free(digest);
  }
};

Sha256::Sha256()
    : context_(std::make_unique<Context>()) {
  EVP_DigestInit_ex(context_->digest, EVP_sha256(), nullptr);
}

Sha256::~Sha256() = default;

void Sha256::addData(const QByteArray& data) {
  EVP_DigestUpdate(context_->digest, data.constData(), static_cast<size_t>(data.size()));
}

QByteArray Sha256::hexResult() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_->digest, digest, &length);
  return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex();
}

} // namespace arvexhub::launcher

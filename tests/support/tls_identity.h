// A fresh key and self-signed certificate for 127.0.0.1, made in memory for one test run. The
// certificate is also written to a PEM file that a client can be told to trust.
#pragma once

#include <string>

#include <openssl/ssl.h>

namespace pv::test {

class TlsIdentity {
  public:
    TlsIdentity();
    ~TlsIdentity();
    TlsIdentity(const TlsIdentity&) = delete;
    TlsIdentity& operator=(const TlsIdentity&) = delete;

    const std::string& certificateFile() const { return certificateFile_; }
    SSL_CTX* context() const { return context_; }

  private:
    std::string directory_;
    std::string certificateFile_;
    SSL_CTX* context_ = nullptr;
};

}  // namespace pv::test

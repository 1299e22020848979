// Test tool: trusts a CA certificate (PEM or DER file) for the current user
// of the Wine prefix it runs in, by adding it to the user's "Root" store.
// WinINet then accepts servers whose certificates that CA signed.
//   trustca.exe Z:\path\to\ca.pem
// Exit code 0 when the certificate is in the store afterwards.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/Handle.h"

namespace {

void closeStore(HCERTSTORE store) {
    CertCloseStore(store, 0);
}
using CertStore = common::UniqueHandle<common::NullHandleTraits<HCERTSTORE, &closeStore>>;

std::string readAll(const wchar_t* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// PEM text becomes DER; anything else is taken to be DER already.
std::vector<BYTE> toDer(const std::string& text) {
    DWORD size = 0;
    if (CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER,
                             nullptr, &size, nullptr, nullptr)) {
        std::vector<BYTE> der(size);
        if (CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER,
                                 der.data(), &size, nullptr, nullptr)) {
            der.resize(size);
            return der;
        }
    }
    return std::vector<BYTE>(text.begin(), text.end());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fwprintf(stderr, L"usage: trustca CERTFILE\n");
        return 2;
    }
    const std::vector<BYTE> der = toDer(readAll(argv[1]));
    if (der.empty()) {
        fwprintf(stderr, L"trustca: cannot read %ls\n", argv[1]);
        return 1;
    }
    CertStore store(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    if (!store) {
        fwprintf(stderr, L"trustca: cannot open the Root store (%lu)\n", GetLastError());
        return 1;
    }
    const BOOL added = CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    if (!added) {
        fwprintf(stderr, L"trustca: adding the certificate failed (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}

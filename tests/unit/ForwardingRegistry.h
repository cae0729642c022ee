#pragma once

#include "platform/Registry.h"

namespace quenk::test {

// Passes every call on to another registry; tests override what they watch.
class ForwardingRegistry : public platform::Registry {
 public:
  explicit ForwardingRegistry(platform::Registry& inner) : inner_(inner) {}

  std::uint32_t Open(platform::HKey p, const std::string& path, std::uint32_t r,
                     platform::HKey& k) override {
    return inner_.Open(p, path, r, k);
  }
  void Close(platform::HKey k) override { inner_.Close(k); }
  std::uint32_t QueryValue(platform::HKey k, const std::string& n, std::uint32_t& t,
                           std::string& d) override {
    return inner_.QueryValue(k, n, t, d);
  }
  std::uint32_t QueryInfo(platform::HKey k, platform::KeyInfo& i) override {
    return inner_.QueryInfo(k, i);
  }
  std::uint32_t EnumKey(platform::HKey k, std::uint32_t i, std::uint32_t b,
                        std::string& n) override {
    return inner_.EnumKey(k, i, b, n);
  }
  std::uint32_t DeleteKey(platform::HKey p, const std::string& path) override {
    return inner_.DeleteKey(p, path);
  }
  std::uint32_t DeleteValue(platform::HKey k, const std::string& n) override {
    return inner_.DeleteValue(k, n);
  }
  std::uint32_t OpenItself(platform::HKey p, const std::string& path, std::uint32_t r,
                           platform::HKey& k) override {
    return inner_.OpenItself(p, path, r, k);
  }
  std::uint32_t DeleteOpenKey(platform::HKey k) override { return inner_.DeleteOpenKey(k); }
  std::uint32_t DeleteKeyEx(platform::HKey p, const std::string& path, std::uint32_t v) override {
    return inner_.DeleteKeyEx(p, path, v);
  }
  std::uint32_t KeyName(platform::HKey k, std::string& n) override { return inner_.KeyName(k, n); }
  std::uint32_t EnumValue(platform::HKey k, std::uint32_t i, std::string& n, std::uint32_t& t,
                          std::string& d) override {
    return inner_.EnumValue(k, i, n, t, d);
  }
  std::uint32_t CreateKey(platform::HKey p, const std::string& path, bool link, platform::HKey& k,
                          bool& created) override {
    return inner_.CreateKey(p, path, link, k, created);
  }
  std::uint32_t SetValue(platform::HKey k, const std::string& n, std::uint32_t t,
                         const std::string& d) override {
    return inner_.SetValue(k, n, t, d);
  }
  std::uint32_t ReadsExactly(platform::HKey k, platform::ExactReading& e) override {
    return inner_.ReadsExactly(k, e);
  }

 private:
  platform::Registry& inner_;
};

}  // namespace quenk::test

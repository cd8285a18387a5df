// The host's picture decoder outside the host, for tests and benchmarks that
// let module code load pictures: libpng loaded as the host loads it, named
// by an own INI written into dir.
#pragma once

#include <png.h>

#include <fstream>
#include <memory>
#include <string>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/images/cl_libpng.h"

class THostPictureDecoder {
 public:
  // dir ends with '/'.
  explicit THostPictureDecoder(const std::string& dir) {
    const std::string ini = dir + "zokhost.ini";
    std::ofstream(ini) << "[main]\nLibPng_linux_VersionString=" PNG_LIBPNG_VER_STRING "\n";
    config_ = std::make_unique<TConfigManager>(ini);
    g_config = config_.get();
    libpng_ = std::make_unique<TLibPngLoader>();
  }
  ~THostPictureDecoder() {
    libpng_.reset();
    g_config = nullptr;
  }
  THostPictureDecoder(const THostPictureDecoder&) = delete;
  THostPictureDecoder& operator=(const THostPictureDecoder&) = delete;

 private:
  std::unique_ptr<TConfigManager> config_;
  std::unique_ptr<TLibPngLoader> libpng_;
};

# Two entry points: `make run` builds and starts Tesselo, `make test` builds
# and runs every test. Both first install the Debian packages that are
# missing (as root, through apt-get), so they work on a fresh Debian 12.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

PACKAGES := cmake make g++ pkg-config ccache \
    qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-svg-dev \
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-image-formats-plugins \
    qt6-translations-l10n libqt6svg6 libgl-dev libvulkan-dev libturbojpeg0-dev \
    libjpeg62-turbo-dev zlib1g-dev libheif-dev fonts-dejavu-core poppler-utils \
    desktop-file-utils libxml2-utils shared-mime-info clang-format
# Building the Debian package also needs the tools that find its dependencies.
DEB_PACKAGES := dpkg-dev file
PREFIX ?= /usr/local

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build configure deps clean install deb

run: build
	./$(BUILD_DIR)/src/tesselo

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Installs only what is absent; a second call asks apt nothing.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

# Honours DESTDIR and PREFIX: make install DESTDIR=/tmp/stage PREFIX=/usr
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

deb: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(DEB_PACKAGES)"
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/*.deb

clean:
	rm -rf $(BUILD_DIR)

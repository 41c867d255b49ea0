# The front door: make run, make test. Everything installs what it lacks.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX         ?= /usr/local
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=

configure = cmake -S . -B $(1) -DCMAKE_BUILD_TYPE=$(2) $(CMAKE_FLAGS) $(3)

.PHONY: all deps build test sanitize run install deb clean

all: build

deps:
	@scripts/install-deps build test

build: deps
	$(call configure,$(BUILD),RelWithDebInfo,-DCMAKE_INSTALL_PREFIX=$(PREFIX))
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize: deps
	$(call configure,$(SANITIZE_BUILD),Debug,-DBITLENS_SANITIZE=ON)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package lands in $(BUILD); dpkg-shlibdeps fills in its dependencies.
deb: build
	@scripts/install-deps desktop
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

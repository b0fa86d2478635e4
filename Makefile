# Porcelain over the CMake presets (host, win32, win64, fuzz).
#
#   make run    build the 64-bit vantrel.exe and start it under Wine (on a
#               virtual display, leaving build/vantrel.png, when there is no
#               DISPLAY)
#   make test   build everything and run every test, the Wine ones included
#   make deps   install the Debian packages that are missing (as root, or
#               through sudo)
#   make build  configure and build the four presets
#   make fuzz   fuzz the program on the simulated desktop for FUZZ_SECONDS
#               (default 600), starting from fuzz/corpus
#   make dist   build dist/vantrel-VERSION-win32.zip, -win64.zip, SHA256SUMS

PRESETS := host win32 win64 fuzz
FUZZ_SECONDS ?= 600
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# What the build, the tests and `make run` use on a Debian machine.
APT_PACKAGES := cmake ninja-build g++ libgtest-dev libbenchmark-dev \
                g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
                wine64 xvfb xdotool xclip x11-utils imagemagick python3 \
                clang libclang-rt-14-dev

.PHONY: all deps build $(addprefix build-,$(PRESETS)) test run fuzz dist clean help bench

all: build

help:
	@sed -n '3,13s/^# \{0,1\}//p' Makefile

deps:
	@missing=""; \
	for p in $(APT_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -qx 'install ok installed' \
	    || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  $$sudo apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q$$missing; \
	fi

build: $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%:
	cmake --preset $*
	cmake --build --preset $* -j $(JOBS)

test: deps
	$(MAKE) --no-print-directory build
	ctest --preset host -j $(JOBS)

run: deps
	$(MAKE) --no-print-directory build-win64
	python3 e2e/show.py

# New inputs go to build/fuzz/fuzz-corpus; what breaks a check, to
# build/fuzz/fuzz-artifacts (replay: build/fuzz/vantrel_fuzz FILE).
fuzz: deps
	$(MAKE) --no-print-directory build-fuzz
	build/fuzz/vantrel_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/fuzz-artifacts/ build/fuzz/fuzz-corpus fuzz/corpus

dist: deps
	python3 tools/dist.py

# Benchmarks against memcpy and a minimal program of ours (not part of `make
# test`, ~10 minutes): one table, also written to build/bench.md.
bench: deps
	$(MAKE) --no-print-directory build-win32 build-win64
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	python3 bench/run.py

clean:
	rm -rf build

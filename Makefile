# VerifClients: `make run` opens the windows on the demo folder, `make test`
# runs every test, `make paquet` makes the Debian package. All install what is
# missing first.
SHELL := /bin/bash
BUILD ?= build
DEMO := $(BUILD)/demo
GENERATEUR ?= Ninja

.PHONY: all deps configure build test run demo paquet bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then \
	  cmake -S . -B $(BUILD) -G $(GENERATEUR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); \
	fi

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2

# The demo folder is made once: clients, sheets, visits, notes and the towns
# reference, without default.txt so that the first start shows the dialog.
demo: build
	@if [ ! -f $(DEMO)/BdClient.mdb ]; then \
	  mkdir -p $(DEMO) && cp $(BUILD)/communes.mdb $(DEMO)/communes.mdb && \
	  $(BUILD)/make-demo --dossier $(DEMO) --communes $(BUILD)/communes.mdb; \
	fi

run: demo
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	  $(BUILD)/verifclients --dossier $(DEMO); \
	else \
	  echo "Pas d'affichage graphique : analyse et export des clients en mode batch."; \
	  rm -rf $(BUILD)/demo-lot && cp -r $(DEMO) $(BUILD)/demo-lot; \
	  printf 'PARIS\r\n75001\r\n' > $(BUILD)/demo-lot/default.txt; \
	  echo "Dossier : $(BUILD)/demo-lot (ville par défaut PARIS 75001)"; \
	  $(BUILD)/verifclients --dossier $(BUILD)/demo-lot --analyse-clients | tail -n 5; \
	  $(BUILD)/verifclients --dossier $(BUILD)/demo-lot --export-clients | tail -n 5; \
	fi

# The Debian package in $(BUILD)/, alone there so that ./verifclients_*.deb names it.
paquet: build
	@rm -f $(BUILD)/verifclients_*.deb
	@cd $(BUILD) && cpack
	@echo "Installation : sudo apt install $(abspath $(BUILD))/$$(cd $(BUILD) && ls verifclients_*.deb)"

bench: build
	@bench/run.sh $(BUILD)

fuzz:
	@scripts/fuzz.sh

clean:
	rm -rf $(BUILD)

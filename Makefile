# The two commands of the README: `make run` and `make test`. Both install what is missing.
# `make installer` builds $(BUILD)/Orvela-setup.exe and the release archive (`make test` does too).
# `make bench` times the program under Wine (bench/run.sh); it is no part of `make test`.
BUILD ?= $(CURDIR)/build
export BUILD

.PHONY: run test bench build installer fuzz clean
run:
	@bash scripts/run.sh
test:
	@bash scripts/test.sh
bench:
	@bash bench/run.sh
build:
	@bash scripts/build.sh win
installer:
	@bash scripts/build.sh installer
fuzz:
	@bash scripts/build.sh native && bash scripts/fuzz-all.sh $(BUILD)/native $(or $(SECONDS_EACH),600)
clean:
	rm -rf $(BUILD)

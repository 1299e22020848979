"""Helpers for the scenario tests: loopback servers and Wine runs."""

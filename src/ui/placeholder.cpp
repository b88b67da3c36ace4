namespace quandor {}

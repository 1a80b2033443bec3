quenra \d+\.\d+\.\d+

I am thinking of a number from 1 to 100\.
(Your guess: Please type a whole number from 1 to 100\.
){3}(Your guess: Too low\.
)*Your guess: Right! (\d+) in \3 tries\.

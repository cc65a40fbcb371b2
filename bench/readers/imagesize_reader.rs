// The Rust imagesize crate over a list of files, for the probe benchmark:
// reads the paths from standard input, sizes every file ROUNDS times, and
// prints the median time per file in microseconds and how many it sized.
//
//   imagesize-reader [ROUNDS] < list
use std::io::BufRead;
use std::time::Instant;

fn main() {
    let rounds: usize = std::env::args().nth(1).and_then(|s| s.parse().ok()).unwrap_or(7);
    let paths: Vec<String> = std::io::stdin()
        .lock()
        .lines()
        .filter_map(|line| line.ok())
        .filter(|line| !line.is_empty())
        .collect();
    let mut times = Vec::new();
    let mut sized = 0;
    for _ in 0..rounds {
        let start = Instant::now();
        sized = 0;
        for path in &paths {
            if imagesize::size(path).is_ok() {
                sized += 1;
            }
        }
        times.push(start.elapsed().as_secs_f64() * 1e6 / paths.len() as f64);
    }
    times.sort_by(|a, b| a.partial_cmp(b).unwrap());
    println!("{:.3} {}", times[rounds / 2], sized);
}
